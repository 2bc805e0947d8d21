// Build step of the trainer site: writes its index.html from the page's own with every file the
// first drawing waits for asked for at once: the page's modules and the bitmaps every caption set
// shares (art/atlas.png); a set's own bitmaps are asked for by the page once it knows the set.
// Usage: node make_preloads.js <site dir> <page index.html>
'use strict';
const fs = require('fs');
const path = require('path');

const MARK = '<!-- preloads -->';
// Scripts of the site that are not modules of the page: the program and the service worker.
const NOT_MODULES = new Set(['q14_web.js', 'sw.js']);

// Without them the browser finds a module only when the one importing it has come (a waterfall
// as deep as the imports), and the atlas only once the page's modules have run.
function preloads(root) {
  const modules = fs.readdirSync(root).filter((f) => f.endsWith('.js') && !NOT_MODULES.has(f)).sort();
  return ['<link rel="preload" href="art/atlas.json" as="fetch" crossorigin>', '<link rel="preload" href="art/atlas.png" as="image">']
    .concat(modules.map((f) => `<link rel="modulepreload" href="${f}">`)).join('\n');
}

if (require.main === module) {
  const [root, page] = process.argv.slice(2);
  if (!root || !page) {
    console.error('usage: node make_preloads.js <site dir> <page index.html>');
    process.exit(2);
  }
  const html = fs.readFileSync(page, 'utf8');
  if (!html.includes(MARK)) {
    console.error(`${page} has no "${MARK}" line`);
    process.exit(1);
  }
  const text = html.replace(MARK, preloads(root));
  const out = path.join(root, 'index.html');
  // Written only when it changed, as the worker is.
  if (!fs.existsSync(out) || fs.readFileSync(out, 'utf8') !== text) fs.writeFileSync(out, text);
}
