// The route check's and the plan import's messages on the page: each comes from the C++ as an
// identifier with its values; the English wording comes with the identifiers (trainer_layout),
// the Russian is here, in the terms of the Russian user guide.
import { addWords, hasWords, t } from './words.js';

// A number the C++ printed with a decimal point, as Russian writes it.
const n = (v) => String(v).replace('.', ',');
// A place or an angle the check printed (55°45.50'N), in the Russian guide's way (55°45,50' с. ш.).
const HEMISPHERES = { N: 'с. ш.', S: 'ю. ш.', E: 'в. д.', W: 'з. д.' };
const place = (v) => String(v).replace(/(\d)\.(\d)/g, '$1,$2').replace(/'([NSEW])/g, (m, h) => `' ${HEMISPHERES[h]}`);

const RU = {
  FileUtf8Bom: 'файл в кодировке UTF-8 с меткой порядка байтов (в Блокноте «UTF-8»): блоки всё равно его читают (буквы, которых нет в кодовой странице Windows, читаются как «?»)',
  FileUtf16Le: 'файл в кодировке UTF-16 с младшим байтом впереди и меткой порядка байтов (в Блокноте «Юникод»): блоки всё равно его читают (буквы, которых нет в кодовой странице Windows, читаются как «?»)',
  FileUtf16Be: 'файл в кодировке UTF-16 со старшим байтом впереди и меткой порядка байтов (в Блокноте «Юникод big endian»): блоки всё равно его читают (буквы, которых нет в кодовой странице Windows, читаются как «?»)',
  FileOddByte: 'файл кончается половиной символа UTF-16 (нечётное число байтов): последний символ блоки читают с тем байтом, который окажется в памяти за файлом',
  LineNul: 'в строке нулевой байт (NUL): имя и значение блоки читают только до него',
  LineSkipped: 'блоки пропускают эту строку: это не [секция], не строка ключ=значение и не комментарий «;»',
  FileNotText: 'не текстовый файл (байт {byte} — NUL) и секции [PPM] в нём нет: все ППМ всех маршрутов блоки читают как 1*0,1*0',
  FileNoPpm: 'нет секции [PPM]: все ППМ всех маршрутов блоки читают как 1*0,1*0 (1° с. ш., 1° в. д.)',
  HeaderSecondBracket: 'в строке вторая «]»: имя секции идёт до последней, и блоки читают его как [{name}]',
  HeaderTextAfter: 'блоки читают секцию [{name}] и не учитывают «{after}» после её «]»',
  SectionAgain: '[{name}] встречается снова (впервые в строке {first}): ключи блоки читают только из первой, из этой — никогда',
  KeyBeforeSection: 'стоит до первой секции: блоки ищут его только в [{section}]',
  KeyInOtherSection: 'стоит в секции [{in}]: блоки ищут его только в [{section}]',
  SettingUnknown: 'такой настройки блоки не читают (они читают q14_kp, q14_kd, q14_bank_time, vibr_kontrol и perc_pogr)',
  KeyInSecondSection: 'стоит во второй секции [{section}]: блоки читают только первую, в строке {first}',
  KeyAgain: 'встречается снова: блоки читают только первый, в строке {first}',
  KeyWaypointZero: 'блоки его никогда не читают: номера ППМ идут от 1 до 9, ключа на 0 нет',
  KeyRouteOver3: 'блоки его никогда не читают: маршруты нумеруются от 0 до 3',
  KeyNotPpm: 'блоки его никогда не читают: ключи [PPM] — это ppm_ и две цифры, маршрут и ППМ',
  KeyNotPpmRoute0: 'блоки его никогда не читают: ключи [PPM] — это ppm_ и две цифры, маршрут и ППМ; у маршрута 0 тоже две цифры, ppm_0{waypoint}',
  WaypointNoValue: 'нет «=»: блоки находят ключ без значения и читают его как 1*0,1*0, ППМ в 1° с. ш., 1° в. д. (следующая строка того же ключа не читается никогда)',
  WaypointMissing: 'нет в [PPM]: блоки читают его как 1*0,1*0, ППМ в 1° с. ш., 1° в. д.',
  RouteMissing: 'маршрута {route} нет: все девять ППМ блоки читают как 1*0,1*0 (1° с. ш., 1° в. д.)',
  Route0Missing: 'маршрута {route} нет: все девять ППМ блоки читают как 1*0,1*0 (1° с. ш., 1° в. д.), а маршрут 0 переписывается в рабочий маршрут',
  ValueTooLong: 'длиннее {max} символов: блоки читают только «{seen}»',
  ValueNoNumber: (v) => `${v.why}: эта часть читается как 0, и блоки читают значение как ${place(v.place)}`,
  ValueNotDms: (v) => `«${v.seen}» — не в виде град*мин,град*мин (${v.why}): блоки читают его как ${place(v.place)}`,
  ValueTextAfter: 'блоки не учитывают «{rest}» после значения; комментарии пишутся на отдельных строках',
  ValueOverflow: (v) => `«${v.seen}» в сумме выходит за пределы любого числа: блоки читают его как ${place(v.place)}`,
  HalfEmptyLat: 'половина пустого ППМ: блоки показывают пустую широту, но это всё равно ППМ, и летят на широту 99; пустой ППМ — 99*0,999*0',
  HalfEmptyLon: 'половина пустого ППМ: блоки показывают пустую долготу, но это всё равно ППМ, и летят на долготу 999; пустой ППМ — 99*0,999*0',
  MinusZero: (v) => `${v.what} -0*${v.min} читается как ${place(v.read)}: минус ноль градусов — не отрицательное число, и минуты сохраняют свой знак; для направления «${v.towards}» пишите 0*-${v.min}`,
  SignedMinutes: (v) => `${v.what} ${v.deg}*${v.min} читается как ${place(v.read)}: при ненулевых градусах у минут нет своего знака, полушарие задают градусы`,
  Minutes60: (v) => `${v.what}: минуты ${v.min} (60 или больше) читаются как ${place(v.read)}`,
  BeyondPole: (v) => `широта ${place(v.lat)} за полюсом: такого места на Земле нет`,
  Beyond180: (v) => `долгота ${place(v.lon)} за 180°: блоки показывают её как написано и летят к ней по приведённой разности`,
  NearPole: (v) => `${place(v.place)} ближе 1° к полюсу, где курсы и долготы теряют смысл`,
  AfterEmpty: 'стоит после пустого ППМ {empty}: блоки летят участки к пустым отметкам и от них (широта 99, долгота 999), а это не место',
  Route0Short: 'ППМ в маршруте 0 до первого пустого: {count}; рабочему маршруту, в который он переписывается, нужно не меньше двух',
  LegSamePlace: 'то же место, что {from} перед ним: у участка между ними нет курса',
  LegAntipodal: (v) => `участок от ${v.from} длиной ${n(v.km)} км соединяет почти противоположные точки земного шара: к ним близко подходит много больших кругов, и его курс зависит от последней цифры`,
  TurnBack: 'разворот на {turn}° на этом ППМ, почти обратно: блоки берут упреждение как для разворота не больше 110°, и самолёт далеко его проскакивает',
  LegShort: (v) => `участок от ${v.from} длиной ${n(v.km)} км короче линейного упреждения разворота здесь (${n(v.lead)} км при ${n(v.speed)} км/ч) плюс 1 км: сами блоки с него не уходят`,
  PartLatDeg: 'градусы широты',
  PartLatMin: 'минуты широты',
  PartLonDeg: 'градусы долготы',
  PartLonMin: 'минуты долготы',
  PartLatitude: 'широта',
  PartLongitude: 'долгота',
  PartSouth: 'юг',
  PartWest: 'запад',
  ScanNoSeparator: 'нет «{sep}» после части «{part}»',
  ScanNoStart: 'в начале нет части «{part}»',
  ScanNoPart: 'после «{sep}» нет части «{part}»',
  ScanNoNumber: '«{text}» в части «{part}» — не число',
  SettingNoValue: 'нет «=»: блоки находят ключ без значения и берут значение по умолчанию {default} (следующая строка того же ключа не читается никогда)',
  SettingNotNumber: '«{seen}» — не число: блоки читают 0 ({meaning})',
  SettingUnusable: '«{seen}» — непригодное число: блоки берут вместо него значение по умолчанию {default}',
  SettingComma: (v) => `блоки читают ${n(v.value)} и не учитывают «${v.rest}» (дробная часть отделяется точкой)`,
  SettingTextAfter: (v) => `блоки читают ${n(v.value)} и не учитывают «${v.rest}»; комментарии пишутся на отдельных строках`,
  FaultTruncated: (v) => `блоки отбрасывают дробную часть: ${n(v.value)} становится ${v.fault}`,
  FaultValue: 'значение отказа {fault}: {meaning}; обычно ставят 1',
  SettingRange: (v) => `${n(v.value)} вне разумных пределов от ${n(v.lo)} до ${n(v.hi)}: ${v.meaning}`,
  MeaningKp: 'коэффициент автопилота по боковому уклонению; при 0 ведения нет, при отрицательном автопилот уводит от линии пути',
  MeaningKd: 'демпфирование автопилота по скорости изменения уклонения; отрицательное раскачивает ведение',
  MeaningBankTime: 'секунды ввода в разворот, часть каждого линейного упреждения разворота',
  MeaningVibrKontrol: '0 выключает отказ по вибрации, любое другое значение его включает',
  MeaningPercPogr: 'погрешность счисления блока 1 в процентах, выше которой он поправляет свой масштаб',
  PlanEncoding: 'план объявляет кодировку «{encoding}», которую импорт не читает (он читает UTF-8, UTF-16 с меткой порядка байтов, ISO-8859-1 и windows-1252)',
  PlanNul: 'байт {byte} — нулевой (NUL): это не текстовый файл (UTF-16 нужна метка порядка байтов)',
  PlanEmpty: 'файл пуст',
  PlanXmlBroken: 'строка {line}: XML составлен неверно',
  PlanNotFlightPlan: 'нет элемента <FlightPlan.FlightPlan> внутри <SimBase.Document>: это не полётный план симулятора',
  PlanWaypoint: 'ППМ {number}',
  PlanWaypointIdent: 'ППМ {number} ({ident})',
  PlanNoPosition: 'строка {line}: у {name} нет <WorldPosition>',
  PlanIcaoOnly: 'строка {line}: у {name} нет <WorldPosition>: точки плана названы только кодами ICAO, как планировщики выгружают планы для новых симуляторов, которые ищут места в своей базе данных, а у импорта её нет. Выгрузите план в старом виде, с <WorldPosition> у каждой точки (или сохраните его заново в планировщике, настроенном записывать места), и импортируйте его',
  PlanBadPosition: 'строка {line}: {name}: WorldPosition «{position}» не похоже на N55° 45\' 30.00",E37° 36\' 12.00",+000500.00: {why}',
  PlanHeaderOpen: 'строка {line}: у заголовка секции «{text}» нет «]»',
  PlanNotKeyValue: 'строка {line}: «{text}» — не заголовок секции и не строка ключ=значение',
  PlanKeyNoNumber: 'строка {line}: «{key}» не кончается номером точки',
  PlanKeyAgain: 'строка {line}: {key} встречается второй раз (впервые в строке {first})',
  PlanFields: 'строка {line}: у {key} полей {count}; ожидается «region, ident, , ident, type, N46* 13.91\', E6* 6.49\', +001410.99,»',
  PlanBadLat: 'строка {line}: {key}: широта «{text}» не похожа на N46* 13.91\': {why}',
  PlanBadLon: 'строка {line}: {key}: долгота «{text}» не похожа на E6* 6.49\': {why}',
  PlanNoIniSection: 'нет секции [flightplan]: это полётный план ни в виде XML, ни в виде INI',
  PlanNoAtcWaypoint: 'в полётном плане нет ни одного <ATCWaypoint>',
  PlanNoIniWaypoint: 'в секции [flightplan] нет ни одного waypoint.N',
  CoordNoComma: 'нет «,» после широты',
  CoordAltitude: 'высота после долготы — не число',
  CoordEnd: 'лишнее «{text}» в конце',
  CoordAfter: 'лишнее «{text}» после координаты',
  CoordNoNS: 'в начале нет N или S',
  CoordNoEW: 'в начале нет E или W',
  CoordNoDegrees: 'нет градусов после буквы полушария',
  CoordNoDegreeMark: 'нет знака градуса после градусов',
  CoordNoMinuteMark: 'нет \' после минут',
  CoordNoSecondMark: 'нет " после секунд',
  CoordNoMinutes: 'нет минут после знака градуса',
  CoordOver60: 'минуты и секунды не должны превышать 60',
  CoordBeyondLat: 'широта больше 90 градусов',
  CoordBeyondLon: 'долгота больше 180 градусов',
  RouteNone: 'маршрута {route} нет (маршруты от 0 до 3)',
  RouteOverNine: 'в маршруте девять ППМ, а не {count}',
  ImportNothing: 'импортировать нечего',
  ImportTooFew: 'в плане различных точек: {count}; маршруту нужно не меньше двух',
  ImportUnflyable: 'пригодных для полёта точек осталось меньше двух: {why}',
  DropSamePlace: 'то же место, что {from} перед ней',
  DropShortLeg: (v) => `${n(v.km)} км от ${v.from}, меньше линейного упреждения разворота плюс 1 км (${n(v.need)} км): такой участок не пролетит ни один блок`,
  DropShortLegEnd: (v) => `${n(v.km)} км до конечной точки ${v.to}, меньше линейного упреждения разворота плюс 1 км (${n(v.need)} км): такой участок не пролетит ни один блок`,
  DropLeastChange: (v) => `${n(v.km)} км в стороне от линии от ${v.from} до ${v.to}: маршрут меняется меньше всего`,
  DropPastNinth: 'после девятой',
  Unflyable: 'начальная точка {from} и конечная {to}: {why}',
  Unnamed: '(без имени)',
  NoteDropped: 'выброшена точка {name} (строка {line}): {why}',
  NoteName: '{name} (строка {line})',
  NoteMore: ' и ещё {count}',
  NoteManySamePlace: 'выброшено точек на том же месте, что предыдущая: {count}: {names}{more}',
  NoteManyUnflyable: 'выброшено точек ближе к соседней, чем линейное упреждение разворота плюс 1 км (такой участок не пролетит ни один блок): {count}: {names}{more}',
  NoteManyLeastChange: 'выброшено точек, без которых маршрут меняется меньше всего: {count}: {names}{more}',
  NotePastNinth: 'не вошло точек после девятой: {count}: {names}{more}',
};
addWords({ ru: Object.fromEntries(Object.entries(RU).map(([id, w]) => [`msg.${id}`, w])) });

// The English wording of every identifier, as the C++ exports it with the layout.
export function addMessageWords(english) {
  addWords({ en: Object.fromEntries(Object.entries(english).map(([id, w]) => [`msg.${id}`, w])) });
}

// A message from the C++ ({id, values}) in the page's language; a value may itself be a
// message, or a list of them (separated by commas).
export function wordMessage(m) {
  const values = {};
  for (const [k, v] of Object.entries(m.values || {}))
    values[k] = Array.isArray(v) ? v.map(wordMessage).join(', ') : typeof v === 'object' ? wordMessage(v) : v;
  return t(`msg.${m.id}`, values);
}

// The identifiers the C++ has that the page cannot word in every language (the tests list them).
export const unwordedMessages = (english) => Object.keys(english).filter((id) => !hasWords(`msg.${id}`));
