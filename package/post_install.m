function post_install (desc)
  % POST_INSTALL places each help file beside its plug-in.  pkg install puts
  % the compiled plug-ins in an architecture folder and the .m files in the
  % package folder, but help <name> reads <name>.m from the folder where
  % <name>.mex is found.
  helps = dir (fullfile (desc.dir, '*.m'));
  for k = 1:numel (helps)
    [~, name] = fileparts (helps(k).name);
    plugin = dir (fullfile (desc.archprefix, '*', [name '.mex']));
    if (numel (plugin) == 1)
      [ok, msg] = movefile (fullfile (desc.dir, helps(k).name), plugin.folder);
      if (! ok)
        error ('proxkit: cannot place the help of %s beside its plug-in: %s', name, msg);
      end
    end
  end
end
