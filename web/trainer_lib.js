// JavaScript library of the trainer's main program: pulls in Emscripten's Browser object, whose
// preload plugin compiles the units' side modules asynchronously before the program starts.
mergeInto(LibraryManager.library, {
  trainer_preload_plugins__deps: ['$Browser'],
  trainer_preload_plugins: function() { Browser.init(); },
});
