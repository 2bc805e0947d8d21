// Words for the pilot about the trainer kept for use without the network: the offer to reload
// into a newer version of the trainer.
import { addWords } from './words.js';

addWords({
  en: {
    updateReady: 'A new version of the trainer is ready. Reloading starts it; the running session is lost.',
    updateReload: 'Reload',
  },
  ru: {
    updateReady: 'Готова новая версия тренажёра. Перезагрузка запускает её; текущий сеанс будет потерян.',
    updateReload: 'Перезагрузить',
  },
});
