// Words of the guided exercises, one entry per exercise in the order of exercises.js: the title
// and each step's text. {CAPTION} is a panel caption as the chosen set prints it (caption_words.js);
// {name} is a value of the loaded route (exerciseValues in exercises.js).

export const EXERCISE_WORDS = {
  complete: 'Exercise complete.',
  start: 'Start',
  restart: 'Restart',
  unit: (u) => (Array.isArray(u) ? `units ${u.join(' and ')}` : `unit ${u}`),
};

export const EXERCISE_TEXTS = [
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
