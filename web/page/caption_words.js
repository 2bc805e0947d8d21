// The captions the panels print, by caption set: the page's texts (hover names, exercises) take
// the names of controls, lamps and pages from here, so they read as the chosen panels show them.
import { trainer } from './state.js';

export const CAPTION_WORDS = {
  latin: {
    UVI: 'UVI', PUR: 'PUR', OTKL: 'OTKL', OBOGR: 'OBOGR', VYST: 'VYST', NAVIG: 'NAVIG', KV: 'KV',
    NEGOT: 'NEGOT', VNIM: 'VNIM', PIT: 'PIT', OTKAZ: 'OTKAZ', PARAMETRY: 'PARAMETRY', KONTR: 'KONTR',
    PHI_LAMBDA: 'phi/lambda', PPM: 'PPM', ZPU_PU: 'ZPU/PU', S_Z: 'S/Z', T_T: 'T/t', DELTA_U: 'delta/U',
    VVOD: 'VVOD', SBROS: 'SBROS', IZM_MARSH: 'IZM MARSH', OST_INDIK: 'OST INDIK', SMENA_LZP: 'SMENA LZP',
    AVT: 'AVT', RUCHN: 'RUCHN', OT: 'OT', DO: 'DO',
  },
  cyrillic: {
    UVI: 'УВИ', PUR: 'ПУР', OTKL: 'ОТКЛ', OBOGR: 'ОБОГР', VYST: 'ВЫСТ', NAVIG: 'НАВИГ', KV: 'КВ',
    NEGOT: 'НЕГОТ', VNIM: 'ВНИМ', PIT: 'ПИТ', OTKAZ: 'ОТКАЗ', PARAMETRY: 'ПАРАМЕТРЫ', KONTR: 'КОНТР',
    PHI_LAMBDA: 'φ/λ', PPM: 'ППМ', ZPU_PU: 'ЗПУ/ПУ', S_Z: 'S/Z', T_T: 'Т/t', DELTA_U: 'δ/U',
    VVOD: 'ВВОД', SBROS: 'СБРОС', IZM_MARSH: 'ИЗМ МАРШ', OST_INDIK: 'ОСТ ИНДИК', SMENA_LZP: 'СМЕНА ЛЗП',
    AVT: 'АВТ', RUCHN: 'РУЧН', OT: 'ОТ', DO: 'ДО',
  },
};

// Caption `key` as the chosen caption set writes it.
export function caption(key) { return (CAPTION_WORDS[trainer.captions] || CAPTION_WORDS.latin)[key]; }

// A text whose {KEY} placeholders become the chosen set's captions ({lat} and the like stay for
// the caller's values).
export function withCaptions(text) {
  return text.replace(/\{([A-Z_]+)\}/g, (m, k) => caption(k) || m);
}
