function expect_gateway (name, usage, args)
  % EXPECT_GATEWAY (NAME, USAGE, ARGS) checks the gateway of the plug-in NAME,
  % given a cell ARGS of valid arguments (vect, accIdx and, if it takes one,
  % rho): one argument too few or too many, none at all, or two results raise
  % exactly USAGE; an argument of any class other than real, full double is
  % refused with "<argument> must be a real, full double array.".  With a
  % rho, only its first element counts, and an empty one is refused whenever
  % the table has a segment (even an empty one) but accepted, giving zeros,
  % when nothing would read it.
  f = str2func (name);
  expect_error (@() f (args{1:end-1}), usage);
  expect_error (@() f (args{:}, 1), usage);
  expect_error (@() f (), usage);
  try
    [a, b] = f (args{:});
    error ('two results were accepted');
  catch err
    assert (regexprep (err.message, '^\w+: ', '', 'once'), usage);
  end

  names = {'vect', 'accIdx', 'rho'};
  others = {@single, @int32, @uint8, @(x) x > 0, @(x) char (x + 65), @(x) x + 1i, ...
            @sparse, @(x) {x}, @(x) struct ('a', x)};
  for slot = 1:numel (args)
    for k = 1:numel (others)
      bad = args;
      bad{slot} = others{k} (args{slot});
      expect_error (@() f (bad{:}), [names{slot} ' must be a real, full double array.']);
    end
  end

  if (numel (args) == 3)
    [vect, table, rho] = args{:};
    expect_bits (f (vect, table, [rho NaN]), f (vect, table, rho));
    empty = 'rho must have at least one element.';
    expect_error (@() f (vect, table, []), empty);
    expect_error (@() f (vect, [0 0], zeros (1, 0)), empty);
    expect_bits (f (vect, 1, []), zeros (numel (vect), 1));
    expect_bits (f (vect, [], zeros (0, 3)), zeros (numel (vect), 1));
  end
end
