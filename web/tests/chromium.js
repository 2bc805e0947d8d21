// The system's Chromium, headless, as every browser test launches it through Playwright
// (Q14_CHROMIUM names another build).
'use strict';
const { chromium } = require('playwright-core');

const CHROMIUM_ARGS = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run'];

function launchChromium() {
  return chromium.launch({ executablePath: process.env.Q14_CHROMIUM || '/usr/bin/chromium', args: CHROMIUM_ARGS });
}

module.exports = { launchChromium };
