function expect_gateway (name, usage, args, expected)
  % EXPECT_GATEWAY (NAME, USAGE, ARGS, EXPECTED) checks the gateway of the
  % plug-in NAME, given a cell ARGS of valid arguments (vect of 4 elements,
  % accIdx and, if it takes one, rho) whose result is the column EXPECTED:
  % - the result is that N-by-1 column whatever the shape of vect, and lands
  %   in ans when no output is requested;
  % - one argument too few or too many, none at all, or two results raise
  %   exactly USAGE;
  % - an argument of any class other than real, full double is refused with
  %   "<argument> must be a real, full double array.";
  % - only the first element of rho counts, and an empty rho is refused
  %   whenever the table has a segment (even an empty one) but accepted,
  %   giving zeros, when nothing would read it.
  f = str2func (name);
  rest = args(2:end);
  vect = args{1};
  for shape = {vect(:)', vect(:), reshape(vect, 2, 2)}
    expect_bits (f (shape{1}, rest{:}), expected);
  end
  f (vect, rest{:});
  expect_bits (ans, expected);
  expect_bits (f (zeros (1, 0), 0, rest{2:end}), zeros (0, 1));

  expect_error (@() f (args{1:end-1}), usage);
  expect_error (@() f (args{:}, 1), usage);
  expect_error (@() f (), usage);
  try
    [a, b] = f (args{:});
    error ('two results were accepted');
  catch err
    assert (strcmp (plugin_message (err), usage));
  end

  names = {'vect', 'accIdx', 'rho'};
  others = {@single, @int32, @uint8, @(x) x > 0, @(x) char(x + 65), @(x) x + 1i, ...
            @sparse, @(x) {x}, @(x) struct('a', x)};
  for slot = 1:numel (args)
    for k = 1:numel (others)
      bad = args;
      bad{slot} = others{k} (args{slot});
      expect_error (@() f (bad{:}), [names{slot} ' must be a real, full double array.']);
    end
  end

  if (numel (args) == 3)
    [table, rho] = rest{:};
    expect_bits (f (vect, table, [rho NaN]), f (vect, table, rho));
    empty = 'rho must have at least one element.';
    expect_error (@() f (vect, table, []), empty);
    expect_error (@() f (vect, [0 0], zeros (1, 0)), empty);
    expect_bits (f (vect, 1, []), zeros (numel (vect), 1));
    expect_bits (f (vect, [], zeros (0, 3)), zeros (numel (vect), 1));
  end
end
