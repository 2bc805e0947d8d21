// Hover names of the panels' mouse areas in English and Russian, by gauge and area name in the
// panel map ({CAPTION}: the caption as the chosen panels print it), and the read-outs' areas by number.
import { addWords } from './words.js';

addWords({
  en: {
    'area.Q14_UVI.ModeDown': 'Mode knob: turn left', 'area.Q14_UVI.ModeUp': 'Mode knob: turn right',
    'area.Q14_UVI.WheelDown': 'Waypoint wheel: down', 'area.Q14_UVI.WheelUp': 'Waypoint wheel: up',
    'area.Q14_UVI.Auto': '{AVT} (automatic)', 'area.Q14_UVI.Manual': '{RUCHN} (manual)',
    'area.Q14_UVI.Key': 'Key {n}',
    'area.Q14_UVI.Enter': '{VVOD} (enter)', 'area.Q14_UVI.Reset': '{SBROS} (reset)',
    'area.Q14_UVI.RouteChange': '{IZM_MARSH} (change leg)', 'area.Q14_UVI.Hold': '{OST_INDIK} (hold display)',
    'area.Q14_UVI.RouteReload': 'Route reload from the file', 'area.Q14_UVI.FocusArea': 'PC keyboard focus',
    'area.Q14_UVI.TakePosition': 'Take the aircraft position', 'area.Q14_UVI.AlignShortcut': 'Alignment shortcut',
    'area.Q14_PUR.SelectorDown': 'Selector: turn left', 'area.Q14_PUR.SelectorUp': 'Selector: turn right',
    'area.Q14_PUR.LampTest': 'Lamp test',
    'area.QN14_def_AP_Key.Toggle': 'Autopilot steering on/off',
    'area.Koord_i.1': 'True position: show or hide',
    'area.Koord_s.1': 'The unit\'s computed position: show or hide',
  },
  ru: {
    'area.Q14_UVI.ModeDown': 'Ручка {PARAMETRY}: назад', 'area.Q14_UVI.ModeUp': 'Ручка {PARAMETRY}: вперёд',
    'area.Q14_UVI.WheelDown': 'Барабан {PPM}: вниз', 'area.Q14_UVI.WheelUp': 'Барабан {PPM}: вверх',
    'area.Q14_UVI.Auto': '{AVT} (автоматическая смена участка)', 'area.Q14_UVI.Manual': '{RUCHN} (ручная смена участка)',
    'area.Q14_UVI.Key': 'Клавиша {n}',
    'area.Q14_UVI.Enter': '{VVOD} (ввод)', 'area.Q14_UVI.Reset': '{SBROS} (сброс)',
    'area.Q14_UVI.RouteChange': '{IZM_MARSH} (смена участка)', 'area.Q14_UVI.Hold': '{OST_INDIK} (остановка индикации)',
    'area.Q14_UVI.RouteReload': 'Загрузка маршрута из файла', 'area.Q14_UVI.FocusArea': 'Клавиатура компьютера',
    'area.Q14_UVI.TakePosition': 'Взять место самолёта', 'area.Q14_UVI.AlignShortcut': 'Сокращение выставки',
    'area.Q14_PUR.SelectorDown': 'Переключатель режимов: назад', 'area.Q14_PUR.SelectorUp': 'Переключатель режимов: вперёд',
    'area.Q14_PUR.LampTest': 'Контроль ламп',
    'area.QN14_def_AP_Key.Toggle': 'Ведение автопилота по маршруту: включить или выключить',
    'area.Koord_i.1': 'Истинное место: показать или скрыть',
    'area.Koord_s.1': 'Место, счислённое блоком: показать или скрыть',
  },
});
