// The page language choice in the header (English / Русский, also ?lang=ru, remembered): the
// page is worded at start and again in place when the pilot chooses, the session running on.
import { $, trainer } from './state.js';
import { applyWords, lang, LANGUAGE_EVENT, missingWords, setLanguage, t } from './words.js';
import { unwordedMessages } from './words_messages.js';

// A file field's own button and note are the browser's, in the browser's language: each file
// field of the page gets a button of the page's words in its place (main.js calls this once the
// panels are drawn, after the side panels built then).
export function wordFileFields() {
  for (const input of document.querySelectorAll('input[type=file]')) {
    if (input.dataset.worded) continue;
    input.dataset.worded = '1';
    const b = document.createElement('button');
    b.type = 'button';
    b.className = 'choosefile';
    b.dataset.t = 'files.choose';
    b.textContent = t('files.choose');
    b.addEventListener('click', () => input.click());
    input.hidden = true;
    input.after(b);
  }
}

export function bindLanguage() {
  // For the tests: texts one language lacks, and the C++ messages the page cannot word.
  trainer.words = { missing: missingWords, unworded: () => unwordedMessages(trainer.layout.messages) };
  applyWords(document);
  $('lang').value = lang;
  $('lang').addEventListener('change', () => setLanguage($('lang').value));
  document.addEventListener(LANGUAGE_EVENT, () => {
    $('lang').value = lang;
    if (trainer.exercises) trainer.exercises.render();
  });
}
