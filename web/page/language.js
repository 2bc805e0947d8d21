// The page language choice in the header (English / Русский, also ?lang=ru, remembered): the
// page is worded at start and again in place when the pilot chooses, the session running on.
import { $, trainer } from './state.js';
import { applyWords, lang, LANGUAGE_EVENT, missingWords, setLanguage } from './words.js';
import { unwordedMessages } from './words_messages.js';

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
