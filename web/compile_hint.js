//# allFunctionsCalledOnLoad
// Put before the program's script (emcc --extern-pre-js): the line above asks the browser to
// compile every function of the script while it streams in, off the page's thread.
