// Words of the page's files in English and Russian: saved flights, whole sessions, the route
// file's editor and the flight-plan import (the C++ messages: words_messages.js).
import { addWords } from './words.js';
import { wordMessage } from './words_messages.js';

// The saved flight check's findings, worded.
const lines = (v) => v.findings.map(wordMessage).join('; ');

// Russian noun forms after a number: one (1, 21), few (2-4, 22-24), many (5-20, 25...).
export function ruPlural(n, one, few, many) {
  const a = Math.abs(n) % 100, b = a % 10;
  if (a >= 11 && a <= 14) return many;
  if (b === 1) return one;
  return b >= 2 && b <= 4 ? few : many;
}

addWords({
  en: {
    'files.choose': 'Choose a file…',
    'files.title': 'Sessions and saved flights',
    'files.saveSession': 'Save session',
    'files.resumeSession': 'Resume a session',
    'files.saveFlight': 'Save flight (unit 2)',
    'files.resumeFlight': 'Resume from a file',
    'route.title': 'Route file (q14_ppm.cfg)',
    'route.text': 'Route file text',
    'route.check': 'Check',
    'route.apply': 'Use in the units',
    'route.download': 'Download',
    'route.sample': 'Bundled sample',
    'route.import': 'Import a flight plan (.pln) into route',
    'flight.saving': 'Saving…',
    'flight.saved': 'Flight saved (Trainer.FLT.insb).',
    'flight.savedOff': 'Flight saved (Trainer.FLT.insb), with unit 2 switched off: resuming it brings unit 2 back off.',
    'flight.notWritten': 'Unit 2 did not write its state: is it powered?',
    'flight.wrongSize': '"{name}" is not a saved flight of unit 2: it has {size} bytes, not {want}.',
    'flight.refused': (v) => `"${v.name}" is not resumed: ${v.count} value${v.count === 1 ? '' : 's'} out of range, so it is damaged or not unit 2's. ${lines(v)}. The running session goes on.`,
    'flight.discard': 'Resume the saved flight? The page starts again: both units, the aircraft and the exercise as they are now are lost.',
    'page.leave': 'Leave the trainer? The running session is lost.',
    'session.saving': 'Saving the session…',
    'session.saved': 'Session saved (trainer.q14session, {kb} KB).',
    'session.notSession': '"{name}" is not a trainer session.',
    'session.damaged': '"{name}" is damaged (its checksum does not match); the running session goes on.',
    'session.otherBuild': '"{name}" was saved by another build of the trainer; it can only be resumed there. The running session goes on.',
    'session.discard': 'Resume the saved session? Both units, the aircraft, the route and the exercise as they are now are lost.',
    'session.resumed': 'Session "{name}" resumed.',
    'route.discardEdits': 'Replace the route text with the bundled sample? Your edits that were not used in the units are lost.',
    'route.noFindings': 'No findings.',
    'route.line': 'line {line}',
    'route.warning': '(warning) ',
    'route.unflyable': 'route 0 cannot be flown: the file was not put into the units\' folder',
    'route.applied': 'In the units\' folder now: click a UVI\'s route reload corner (top left) to load route 0.',
    'route.imported': 'Route {route} imported from "{name}"{notes}. Check, then use it in the units or download it.',
    'route.notImported': '"{name}" was not imported: {why}',
  },
  ru: {
    'files.choose': 'Выбрать файл…',
    'files.title': 'Сеансы и сохранённые полёты',
    'files.saveSession': 'Сохранить сеанс',
    'files.resumeSession': 'Возобновить сеанс',
    'files.saveFlight': 'Сохранить полёт (блок 2)',
    'files.resumeFlight': 'Возобновить полёт из файла',
    'route.title': 'Файл маршрутов (q14_ppm.cfg)',
    'route.text': 'Текст файла маршрутов',
    'route.check': 'Проверить',
    'route.apply': 'Передать блокам',
    'route.download': 'Скачать',
    'route.sample': 'Образец',
    'route.import': 'Записать полётный план (.pln) в маршрут',
    'flight.saving': 'Сохранение…',
    'flight.saved': 'Полёт сохранён (Trainer.FLT.insb).',
    'flight.savedOff': 'Полёт сохранён (Trainer.FLT.insb) с выключенным блоком 2: после возобновления блок 2 снова выключен.',
    'flight.notWritten': 'Блок 2 не записал своё состояние: есть ли у него питание?',
    'flight.wrongSize': '«{name}» — не сохранённый полёт блока 2: в нём {size} байт, а не {want}.',
    'flight.refused': (v) => `«${v.name}» не возобновлён: ${v.count} ${ruPlural(v.count, 'значение', 'значения', 'значений')} вне допустимых пределов, файл испорчен или не от блока 2. ${lines(v)}. Текущий сеанс продолжается.`,
    'flight.discard': 'Возобновить сохранённый полёт? Страница запустится заново: оба блока, самолёт и упражнение в нынешнем виде пропадут.',
    'page.leave': 'Покинуть тренажёр? Текущий сеанс пропадёт.',
    'session.saving': 'Сохранение сеанса…',
    'session.saved': 'Сеанс сохранён (trainer.q14session, {kb} КБ).',
    'session.notSession': '«{name}» — не сеанс тренажёра.',
    'session.damaged': '«{name}» испорчен (контрольная сумма не сходится); текущий сеанс продолжается.',
    'session.otherBuild': '«{name}» сохранён другой сборкой тренажёра и возобновляется только в ней. Текущий сеанс продолжается.',
    'session.discard': 'Возобновить сохранённый сеанс? Оба блока, самолёт, маршрут и упражнение в нынешнем виде пропадут.',
    'session.resumed': 'Сеанс «{name}» возобновлён.',
    'route.discardEdits': 'Заменить текст маршрутов образцом? Правки, которые не переданы блокам, пропадут.',
    'route.noFindings': 'Замечаний нет.',
    'route.line': 'строка {line}',
    'route.warning': '(предупреждение) ',
    'route.unflyable': 'маршрут 0 нельзя пролететь: файл не положен в папку блоков',
    'route.applied': 'Файл в папке блоков: щёлкните по левому верхнему винту УВИ, чтобы загрузить маршрут 0.',
    'route.imported': 'Маршрут {route} записан из «{name}»{notes}. Проверьте его, затем передайте блокам или скачайте.',
    'route.notImported': '«{name}» не записан: {why}',
  },
});
