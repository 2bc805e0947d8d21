// Words of the exercise debrief and of the progress kept between visits, in English and Russian.
import { addWords } from './words.js';

const times = (n) => (n % 10 === 1 && n % 100 !== 11 ? 'раз' : n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14) ? 'раза' : 'раз');

addWords({
  en: {
    debrief_title: 'Debrief',
    debrief_exercise: 'Exercise {n}: {title}',
    debrief_completed: 'Completed {date}',
    debrief_time: 'Time taken: {time} (simulated {sim})',
    debrief_wrong: 'Wrong entries: {n}',
    debrief_refused: '{at} unit {u}, {key}: the unit did not take the key',
    debrief_rejected: '{at} unit {u}, {key}: the unit refused the number {text}',
    debrief_cancelled: '{at} unit {u}, {key}: the entry {text} cancelled',
    debrief_key: 'key {d}',
    debrief_pc_key: 'PC key {code}',
    debrief_xt_head: 'Cross-track of the aircraft at the waypoints passed (from the route leg, + right):',
    debrief_xt_row: 'waypoint {wp} (leg {from}→{to}){hand}: {km} km',
    debrief_by_hand: ', changed by hand',
    debrief_xt_off_route: 'waypoint {wp} (leg {from}→{to}): not a leg of route 0 of the route file',
    debrief_xt_none: 'No waypoint passed during the flight.',
    debrief_largest: 'Largest: {km} km at waypoint {wp}',
    debrief_save: 'Save the debrief',
    debrief_file_title: 'q14 trainer: debrief',
    progress_note: (v) => `done ${v.n}×, best time ${v.time}, fewest wrong entries ${v.wrong}` +
      (v.xt === undefined ? '' : `, smallest largest cross-track ${v.xt} km`),
    progress_clear: 'Forget completed exercises',
    progress_clear_ask: 'Forget every completed exercise and its best results?',
  },
  ru: {
    debrief_title: 'Разбор',
    debrief_exercise: 'Упражнение {n}: {title}',
    debrief_completed: 'Выполнено {date}',
    debrief_time: 'Затрачено времени: {time} (в симуляторе {sim})',
    debrief_wrong: 'Неверные вводы: {n}',
    debrief_refused: '{at} блок {u}, {key}: блок не принял клавишу',
    debrief_rejected: '{at} блок {u}, {key}: блок не принял число {text}',
    debrief_cancelled: '{at} блок {u}, {key}: ввод {text} отменён',
    debrief_key: 'клавиша {d}',
    debrief_pc_key: 'клавиша ПК {code}',
    debrief_xt_head: 'Боковое уклонение самолёта на пройденных ППМ (от ЛЗП участка, плюс — вправо):',
    debrief_xt_row: 'ППМ {wp} (участок {from}→{to}){hand}: {km} км',
    debrief_by_hand: ', смена участка вручную',
    debrief_xt_off_route: 'ППМ {wp} (участок {from}→{to}): такого участка нет в маршруте 0 файла маршрутов',
    debrief_xt_none: 'За полёт не пройдено ни одного ППМ.',
    debrief_largest: 'Наибольшее: {km} км на ППМ {wp}',
    debrief_save: 'Сохранить разбор',
    debrief_file_title: 'Тренажёр q14: разбор',
    progress_note: (v) => `выполнено ${v.n} ${times(v.n)}, лучшее время ${v.time}, меньше всего неверных вводов: ${v.wrong}` +
      (v.xt === undefined ? '' : `, наименьшее наибольшее уклонение ${v.xt} км`),
    progress_clear: 'Забыть выполненные упражнения',
    progress_clear_ask: 'Забыть все выполненные упражнения и их лучшие результаты?',
  },
});
