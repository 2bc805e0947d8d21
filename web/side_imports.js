// Lists the functions the side modules import from the main program, as the JSON list of
// exported names the main program's link takes (-sEXPORTED_FUNCTIONS=@file).
// Usage: node side_imports.js <out.json> <side.wasm>...
'use strict';
const fs = require('fs');
const [out, ...sides] = process.argv.slice(2);
const names = new Set(['_main', '_malloc', '_free']);
for (const side of sides) {
  const mod = new WebAssembly.Module(fs.readFileSync(side));
  const own = new Set(WebAssembly.Module.exports(mod).map((e) => e.name));
  for (const imp of WebAssembly.Module.imports(mod)) {
    // The loader keeps one offset table for every module: a unit reaching its own records
    // through it would share them with the unit loaded first (link with -Bsymbolic).
    if (imp.module.startsWith('GOT.') && own.has(imp.name))
      throw new Error(`${side} reaches its own ${imp.name} through the shared offset table`);
    // Functions called directly, and functions whose address the module takes.
    if ((imp.module === 'env' && imp.kind === 'function') || imp.module === 'GOT.func') names.add('_' + imp.name);
    if (imp.module === 'GOT.mem') throw new Error(`${side} imports data ${imp.name}; the main program cannot export it`);
  }
}
// The trainer's own interface is exported with EMSCRIPTEN_KEEPALIVE.
fs.writeFileSync(out, JSON.stringify([...names].sort()) + '\n');
