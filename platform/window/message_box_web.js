// The page side of message boxes (message_box_web.cpp): the page's
// okuShowMessage(caption, text, type) returns a promise that settles on OK;
// the program sleeps (under Asyncify) until then.
mergeInto(LibraryManager.library, {
  okuWebShowMessage__deps: ['$okuWeb'],
  okuWebShowMessage: function(caption, text, type) {
    var show = Module['okuShowMessage'];
    if (!show) return 0;
    okuWeb.watchMainReturn();
    var captionText = UTF8ToString(caption), bodyText = UTF8ToString(text);
    return Asyncify.handleSleep(function(wakeUp) {
      Promise.resolve()
        .then(function() { return show(captionText, bodyText, type); })
        .then(function() { wakeUp(1); }, function() { wakeUp(1); });
    });
  },
});
