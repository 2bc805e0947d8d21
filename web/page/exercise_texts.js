// Words of the guided exercises in English and Russian, one entry per exercise in the order of
// exercises.js: the title and each step's text. {CAPTION} is a panel caption as the chosen set
// prints it (caption_words.js); {name} is a value of the loaded route (exerciseValues in exercises.js).
import { lang } from './words.js';

const WORDS = {
  en: {
    complete: 'Exercise complete.',
    start: 'Start',
    restart: 'Restart',
    unit: (u) => (Array.isArray(u) ? `units ${u.join(' and ')}` : `unit ${u}`),
  },
  ru: {
    complete: 'Упражнение выполнено.',
    start: 'Начать',
    restart: 'Заново',
    unit: (u) => (Array.isArray(u) ? `блоки ${u.join(' и ')}` : `блок ${u}`),
  },
};

const EN = [
  { title: 'Power-up and alignment', steps: [
    'Turn the {PUR} selector from {OTKL} to {OBOGR} (warm-up)',
    'Wait about 10 s (180 cycles) for the warm-up: {NEGOT} lights',
    'Turn the selector to {VYST}: the alignment starts',
    'Turn {PARAMETRY} to {PHI_LAMBDA} and give the start position {startLat} {startLon} (keypad as in exercise 2, or click the {SMENA_LZP} caption to take the aircraft\'s position)',
    'Wait for the end of the alignment (about 5 min: fast-forward, or click the right end of the display), then the selector to {NAVIG}: {NEGOT} goes out, the unit navigates',
  ] },
  { title: 'Entering the start position by keypad', steps: [
    'Turn the {PUR} selector to {OBOGR} and wait about 10 s for the warm-up: {NEGOT} lights (before it the keypad takes no position)',
    'Selector to {VYST}, {PARAMETRY} to {PHI_LAMBDA}',
    'Start the latitude with key 2 (N): {VVOD} lights',
    'Type {startLatKeys} and press {VVOD}: the upper line shows {startLatShown}',
    'Key 6 (E), type {startLonKeys}, {VVOD}: the lower line shows {startLonShown}',
  ] },
  { title: 'Programming waypoints from the file and by keypad', steps: [
    'Navigate (exercise 1), click the top-left screw of the {UVI} (route 0 loads from the file), {PARAMETRY} to {PPM} and the wheel to 2: waypoint 2 of the route shows, {wp2LatShown}',
    'Start a new latitude for waypoint 2 with key 2 (N): {VVOD} lights',
    'Type 5 5 4 5 5 and {VVOD}: waypoint 2 shows 55*45,5\'',
  ] },
  { title: 'Changing the leg by hand', steps: [
    'Navigate with route 0 loaded (exercise 3, first step) and {PARAMETRY} to {PPM}: {OT} 1 {DO} 2, waypoint 2 on the wheel shows {wp2LatShown}',
    'Switch to {RUCHN} (manual)',
    'Press {IZM_MARSH}: its lamp and {VVOD} light',
    'Type 2 and 3, then {VVOD}: {OT} shows 2 and {DO} 3',
    'Back to {AVT}',
  ] },
  { title: 'Correcting the position over a fix', steps: [
    'Navigate, {PARAMETRY} to {PHI_LAMBDA}',
    'Over the fix, waypoint 2 of the route ({wp2Lat} {wp2Lon}), press {OST_INDIK}: its lamp lights and the page holds',
    'Enter the fix\'s latitude: key 2, {wp2LatKeys}, {VVOD}: the upper line shows {wp2LatShown}',
    'Enter the fix\'s longitude: key 6, {wp2LonKeys}, {VVOD}: the lower line shows {wp2LonShown}',
    'Press {OST_INDIK} again: its lamp goes out and the unit runs on from the fix',
  ] },
  { title: 'Setting the clock and the airspeed to read the wind', steps: [
    'Navigate with route 0 loaded; under Aircraft tick Flying and set a wind (towards 90° at 60 km/h); {PARAMETRY} to {T_T}',
    'Set the clock to 12:30: key 2, then 1 2 3 0, {VVOD}: the upper line shows 12 30',
    'Turn {PARAMETRY} to {DELTA_U} and hold the page with {OST_INDIK}: its lamp lights',
    'Enter the true airspeed 600 km/h: key 6, then 0 6 0 0, {VVOD}: the lower line shows 600',
    'Release the page with {OST_INDIK}: while flying the wind shows',
  ] },
  { title: 'The battery and the PIT lamp', steps: [
    'Navigate (exercise 1)',
    'Under Aircraft untick External power: the unit runs on its battery. After about 5 min (half the charge; fast-forward helps) {PIT} lights',
    'Tick External power again: the battery charges, {PIT} goes out and the unit navigates on',
  ] },
  { title: 'Alignment faults and their recovery', steps: [
    'Turn the {PUR} selector to {OBOGR} and wait for the warm-up: {NEGOT} lights',
    'Under Aircraft tick Engines running; selector to {VYST}, {PARAMETRY} to {PHI_LAMBDA}, and enter the start position: key 2, {startLatKeys}, {VVOD}, key 6, {startLonKeys}, {VVOD}: the upper line shows {startLatShown}',
    'Wait (about 4 min, fast-forward helps): the engines shook the alignment, and when its count drops below 30 {VNIM} lights and the alignment stops',
    'Turn the selector back to {OTKL}: {VNIM} goes out and the alignment is armed again',
    'Untick Engines running; through {OBOGR} to {VYST} again, wait for {NEGOT}, and enter a wrong start latitude, 12 minutes off: key 2, {wrongLatKeys}, {VVOD}: the upper line shows {wrongLatShown}',
    'Wait (about 2 min): when the count drops below 60 {VNIM} lights, the latitude is wrong',
    'The selector back to {OTKL}: {VNIM} goes out',
    'Through {OBOGR} to {VYST} again, wait for {NEGOT}, and enter the right start position: key 2, {startLatKeys}, {VVOD} (the upper line shows {startLatShown}), key 6, {startLonKeys}, {VVOD}',
    'Wait for the end of the alignment, then {NAVIG}: {VNIM} stays dark, {NEGOT} goes out, the unit navigates',
  ] },
  { title: 'The autopilot along the whole route', steps: [
    'Navigate with route 0 loaded (exercise 3, first step): {OT} 1 {DO} 2, the switch at {AVT}',
    'Under Aircraft turn the heading to the first leg\'s course, {leg1Course}°; switch the autopilot steering on (AP key), tick Heading coupled and Flying (fast-forward helps): at waypoint 2 the leg changes by itself, {SMENA_LZP} lights and {OT} 2 {DO} 3 show',
    'Change the leg by hand: {RUCHN}, {IZM_MARSH}, 3 and 4, {VVOD}: {OT} 3 {DO} 4',
    'Back to {AVT} and fly on: at waypoint 4 the leg changes by itself to {OT} 4 {DO} 5',
  ] },
  { title: 'The position correction over a fix: unit 1\'s scale and unit 2\'s drift', steps: [
    'Navigate with both units (exercise 1 on each) and turn {PARAMETRY} of both to {PHI_LAMBDA}',
    'Under Aircraft turn the heading to 90° (east), tick Flying, set the sim rate to 16× and fly for about half an hour of simulated time (fast-forward helps), then untick Flying: the aircraft stops over a fix, and both units\' lines are off its position',
    'The fix is the aircraft\'s position, {fixLat} {fixLon}. Unit 1 is off by {off1} (north / east): it counts the ground speed with its own scales, and its east one reads about 0,1 % short, too little for its calibration to change it (it holds a scale at 1 below 0,16 %), so its error grows with the distance flown eastwards. Unit 2 is off by {off2}: its drift grows with the time flown, even standing still. On unit 1 press {OST_INDIK}: its lamp lights and the page holds',
    'On unit 1 enter the fix: key 2, {fixLatKeys}, {VVOD}, key 6, {fixLonKeys}, {VVOD}: the lines show {fixLatShown} and {fixLonShown}',
    'Press {OST_INDIK} of unit 1 again: its lamp goes out and unit 1 runs on from the fix',
    'On unit 2 press {OST_INDIK}: its lamp lights',
    'On unit 2 enter the fix: key 2, {fixLatKeys}, {VVOD}, key 6, {fixLonKeys}, {VVOD}: the lines show {fixLatShown} and {fixLonShown}',
    'Press {OST_INDIK} of unit 2 again: its lamp goes out, and both units show the fix: their drift starts again from it',
  ] },
];

const RU = [
  { title: 'Включение и выставка', steps: [
    'Поверните переключатель {PUR} из {OTKL} в {OBOGR} (обогрев)',
    'Подождите около 10 с (180 циклов), пока идёт обогрев: загорится {NEGOT}',
    'Переключатель в {VYST}: начинается выставка',
    'Ручку {PARAMETRY} на {PHI_LAMBDA} и введите исходное место {startLat} {startLon} (с клавиатуры, как в упражнении 2, или щёлкните по надписи {SMENA_LZP}, чтобы взять место самолёта)',
    'Дождитесь конца выставки (около 5 мин: ускорьте время или щёлкните над правым краем индикатора), затем переключатель в {NAVIG}: {NEGOT} гаснет, блок ведёт счисление',
  ] },
  { title: 'Ввод исходного места с клавиатуры', steps: [
    'Поверните переключатель {PUR} в {OBOGR} и подождите около 10 с обогрева: загорится {NEGOT} (до этого клавиатура места не принимает)',
    'Переключатель в {VYST}, ручку {PARAMETRY} на {PHI_LAMBDA}',
    'Начните ввод широты клавишей 2 (N): загорится {VVOD}',
    'Наберите {startLatKeys} и нажмите {VVOD}: в верхней строке {startLatShown}',
    'Клавиша 6 (E), наберите {startLonKeys}, {VVOD}: в нижней строке {startLonShown}',
  ] },
  { title: 'ППМ из файла и с клавиатуры', steps: [
    'В навигации (упражнение 1) щёлкните по левому верхнему винту {UVI} (маршрут 0 загружается из файла), ручку {PARAMETRY} на {PPM} и барабан на 2: виден ППМ 2 маршрута, {wp2LatShown}',
    'Начните ввод новой широты ППМ 2 клавишей 2 (N): загорится {VVOD}',
    'Наберите 5 5 4 5 5 и {VVOD}: ППМ 2 показывает 55*45,5\'',
  ] },
  { title: 'Смена участка вручную', steps: [
    'В навигации с загруженным маршрутом 0 (упражнение 3, первый шаг) ручку {PARAMETRY} на {PPM}: {OT} 1 {DO} 2, ППМ 2 на барабане показывает {wp2LatShown}',
    'Переключите в {RUCHN} (ручная смена)',
    'Нажмите {IZM_MARSH}: загораются её лампа и {VVOD}',
    'Наберите 2 и 3, затем {VVOD}: {OT} показывает 2, {DO} — 3',
    'Обратно в {AVT}',
  ] },
  { title: 'Коррекция места над ориентиром', steps: [
    'В навигации ручку {PARAMETRY} на {PHI_LAMBDA}',
    'Над ориентиром, ППМ 2 маршрута ({wp2Lat} {wp2Lon}), нажмите {OST_INDIK}: загорается её лампа, индикация останавливается',
    'Введите широту ориентира: клавиша 2, {wp2LatKeys}, {VVOD}: в верхней строке {wp2LatShown}',
    'Введите долготу ориентира: клавиша 6, {wp2LonKeys}, {VVOD}: в нижней строке {wp2LonShown}',
    'Снова нажмите {OST_INDIK}: лампа гаснет, блок продолжает счисление от ориентира',
  ] },
  { title: 'Часы и воздушная скорость для расчёта ветра', steps: [
    'В навигации с загруженным маршрутом 0 в панели самолёта отметьте полёт и задайте ветер (дует на 90° со скоростью 60 км/ч); ручку {PARAMETRY} на {T_T}',
    'Установите часы на 12:30: клавиша 2, затем 1 2 3 0, {VVOD}: в верхней строке 12 30',
    'Ручку {PARAMETRY} на {DELTA_U} и остановите индикацию кнопкой {OST_INDIK}: загорается её лампа',
    'Введите воздушную скорость 600 км/ч: клавиша 6, затем 0 6 0 0, {VVOD}: в нижней строке 600',
    'Отпустите индикацию кнопкой {OST_INDIK}: в полёте виден ветер',
  ] },
  { title: 'Батарея и табло ПИТ', steps: [
    'В навигации (упражнение 1)',
    'В панели самолёта снимите наземное питание: блок работает от батареи. Примерно через 5 мин (половина заряда; ускорение времени помогает) загорается {PIT}',
    'Снова включите наземное питание: батарея заряжается, {PIT} гаснет, блок продолжает счисление',
  ] },
  { title: 'Отказы выставки и выход из них', steps: [
    'Поверните переключатель {PUR} в {OBOGR} и дождитесь конца обогрева: загорится {NEGOT}',
    'В панели самолёта запустите двигатели; переключатель в {VYST}, ручку {PARAMETRY} на {PHI_LAMBDA} и введите исходное место: клавиша 2, {startLatKeys}, {VVOD}, клавиша 6, {startLonKeys}, {VVOD}: в верхней строке {startLatShown}',
    'Подождите (около 4 мин, ускорение времени помогает): двигатели трясут выставку, и когда её этап опускается ниже 30, загорается {VNIM} и выставка останавливается',
    'Верните переключатель в {OTKL}: {VNIM} гаснет, выставку можно начать снова',
    'Остановите двигатели; снова через {OBOGR} в {VYST}, дождитесь {NEGOT} и введите неверную начальную широту, на 12 минут в сторону: клавиша 2, {wrongLatKeys}, {VVOD}: в верхней строке {wrongLatShown}',
    'Подождите (около 2 мин): когда этап опускается ниже 60, загорается {VNIM} — широта неверна',
    'Переключатель обратно в {OTKL}: {VNIM} гаснет',
    'Снова через {OBOGR} в {VYST}, дождитесь {NEGOT} и введите верное исходное место: клавиша 2, {startLatKeys}, {VVOD} (в верхней строке {startLatShown}), клавиша 6, {startLonKeys}, {VVOD}',
    'Дождитесь конца выставки, затем {NAVIG}: {VNIM} не горит, {NEGOT} гаснет, блок ведёт счисление',
  ] },
  { title: 'Автопилот по всему маршруту', steps: [
    'В навигации с загруженным маршрутом 0 (упражнение 3, первый шаг): {OT} 1 {DO} 2, переключатель на {AVT}',
    'В панели самолёта поверните курс на заданный путевой угол первого участка, {leg1Course}°; включите ведение автопилота (кнопка АП), отметьте курс от ведения блоков и полёт (ускорение времени помогает): у ППМ 2 участок сменяется сам, загорается {SMENA_LZP}, видны {OT} 2 {DO} 3',
    'Смените участок вручную: {RUCHN}, {IZM_MARSH}, 3 и 4, {VVOD}: {OT} 3 {DO} 4',
    'Обратно в {AVT} и летите дальше: у ППМ 4 участок сам сменяется на {OT} 4 {DO} 5',
  ] },
  { title: 'Коррекция места над ориентиром: масштаб блока 1 и уход блока 2', steps: [
    'Оба блока в навигации (упражнение 1 на каждом), ручки {PARAMETRY} обоих на {PHI_LAMBDA}',
    'В панели самолёта поверните курс на 90° (восток), отметьте полёт, ускорение времени 16× и летите около получаса модельного времени (ускорение помогает), затем снимите отметку полёта: самолёт стоит над ориентиром, а строки обоих блоков расходятся с его местом',
    'Ориентир — место самолёта, {fixLat} {fixLon}. Блок 1 ошибается на {off1} (север / восток): путевую скорость он считает по своим масштабам, а восточный из них занижает примерно на 0,1 % — слишком мало, чтобы его изменила калибровка (масштаб остаётся 1 ниже 0,16 %), поэтому его ошибка растёт с расстоянием, пройденным на восток. Блок 2 ошибается на {off2}: его уход растёт со временем, даже на стоянке. На блоке 1 нажмите {OST_INDIK}: загорается её лампа, индикация останавливается',
    'На блоке 1 введите ориентир: клавиша 2, {fixLatKeys}, {VVOD}, клавиша 6, {fixLonKeys}, {VVOD}: в строках {fixLatShown} и {fixLonShown}',
    'Снова нажмите {OST_INDIK} блока 1: лампа гаснет, блок 1 продолжает счисление от ориентира',
    'На блоке 2 нажмите {OST_INDIK}: загорается её лампа',
    'На блоке 2 введите ориентир: клавиша 2, {fixLatKeys}, {VVOD}, клавиша 6, {fixLonKeys}, {VVOD}: в строках {fixLatShown} и {fixLonShown}',
    'Снова нажмите {OST_INDIK} блока 2: лампа гаснет, оба блока показывают ориентир, и уход начинается от него заново',
  ] },
];

const TEXTS = { en: EN, ru: RU };

// The words in the page's language at the time they are read (the language may change).
export const EXERCISE_WORDS = Object.fromEntries(Object.keys(WORDS.en).map((k) => [k, undefined]));
for (const k of Object.keys(WORDS.en)) Object.defineProperty(EXERCISE_WORDS, k, { get: () => (WORDS[lang] || WORDS.en)[k] });
export const EXERCISE_TEXTS = EN.map((ex, i) => ({
  get title() { return (TEXTS[lang] || EN)[i].title; },
  get steps() { return (TEXTS[lang] || EN)[i].steps; },
}));
// For the tests: the texts of every language, to compare their shapes.
export const EXERCISE_LANGUAGES = TEXTS;
