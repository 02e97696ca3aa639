function post_install (desc)
  % POST_INSTALL places each help file beside its function.  pkg install puts
  % the compiled .oct files in an architecture folder and the .m files in the
  % package folder, but help <name> reads <name>.m from the folder where
  % <name>.oct is found.
  helps = dir (fullfile (desc.dir, '*.m'));
  for k = 1:numel (helps)
    [~, name] = fileparts (helps(k).name);
    plugin = dir (fullfile (desc.archprefix, '*', [name '.oct']));
    if (numel (plugin) == 1)
      [ok, msg] = movefile (fullfile (desc.dir, helps(k).name), plugin.folder);
      if (! ok)
        error ('proxkit: cannot place the help of %s beside its plug-in: %s', name, msg);
      end
    end
  end
end
