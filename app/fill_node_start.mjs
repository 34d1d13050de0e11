// Runs the companion as node's program: its arguments are node's (the glue
// takes them), and so are its environment and exit status.
Module({
  preRun: [(module) => {
    // The glue's own defaults (USER=web_user, LANG=C.UTF-8, ...) would hide
    // the user's LC_ALL and the rest.
    for (const name of ['USER', 'LOGNAME', 'PATH', 'PWD', 'HOME', 'LANG', '_']) module.ENV[name] = undefined;
    Object.assign(module.ENV, process.env);
  }],
  quit: (status, toThrow) => {
    if (toThrow?.name !== 'ExitStatus') {
      // A fault of the program itself: said and ended as the glue would.
      console.error('exiting due to exception: ' + toThrow);
      process.exit(status);
    }
    // Not process.exit(): a signal that came during the run still waits for
    // its listener, which the next turn of node's loop calls (see os_web.cpp).
    process.exitCode = status;
    setImmediate(() => {});
    throw toThrow;
  },
});
