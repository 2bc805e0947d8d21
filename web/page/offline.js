// The trainer without the network: registers the service worker (sw.js, made at build time with
// every file of the build), which serves the page from then on; offers a reload when a newer build waits.
import { t } from './words.js';
import './words_offline.js';
import { trainer } from './state.js';

let accepted = false;

// Shows the offer once; accepting it lets the waiting build take over, and the page reloads into it.
function offerReload(waiting) {
  if (document.getElementById('update')) return;
  const bar = document.createElement('div');
  bar.id = 'update';
  bar.setAttribute('role', 'status');
  const text = document.createElement('span');
  text.textContent = t('updateReady');
  const button = document.createElement('button');
  button.type = 'button';
  button.textContent = t('updateReload');
  button.addEventListener('click', () => {
    accepted = true;
    trainer.leaving = true;   // the reload was asked for: no question about the lost session
    waiting.postMessage('take-over');
  });
  bar.append(text, ' ', button);
  document.body.appendChild(bar);
  trainer.updateOffered = true;
}

// Browsers keep service workers to pages from localhost or HTTPS; elsewhere the page runs as before.
export function startOffline() {
  if (!('serviceWorker' in navigator)) return;
  const sw = navigator.serviceWorker;
  sw.addEventListener('controllerchange', () => { if (accepted) location.reload(); });
  sw.register('sw.js').then((reg) => {
    // A build waiting from an earlier visit, or one found now; not the first one installed.
    if (reg.waiting && sw.controller) offerReload(reg.waiting);
    reg.addEventListener('updatefound', () => {
      const w = reg.installing;
      w.addEventListener('statechange', () => { if (w.state === 'installed' && sw.controller) offerReload(w); });
    });
  }).catch((e) => console.warn(`the trainer is not kept for use offline: ${e.message}`));
}
