// The page side of the browser's window layer (win32_web.cpp): the WebGL context
// on the page's canvas, the page's events as window messages, frame pacing, the
// page's clock modes, and the GL state that WebGL lacks handed to our programs
// before each draw (user clip plane 0 and the alpha test, platform/shader/
// cg_glsl_es_source.h).
mergeInto(LibraryManager.library, {
  $okuWeb__deps: ['$GL', '$GLEmulation', '$GLImmediate', '$Browser', '$okuClientArrays'],
  $okuWeb: {
    events: [],
    listeners: [],
    wasFullScreen: false,

    listen: function(target, type, handler) {
      target.addEventListener(type, handler);
      okuWeb.listeners.push([target, type, handler]);
    },

    stopListening: function() {
      okuWeb.listeners.forEach(function(entry) { entry[0].removeEventListener(entry[1], entry[2]); });
      okuWeb.listeners = [];
    },

    post: function(message, wParam) { okuWeb.events.push([message, wParam]); },

    watchPage: function() {
      var WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_ACTIVATE = 0x0006, VK_ESCAPE = 0x1B;
      okuWeb.listen(window, 'keydown', function(event) {
        if (event.keyCode) okuWeb.post(WM_KEYDOWN, event.keyCode);
        if (event.keyCode === VK_ESCAPE) event.preventDefault();
      });
      okuWeb.listen(window, 'keyup', function(event) {
        if (event.keyCode) okuWeb.post(WM_KEYUP, event.keyCode);
      });
      // The browser keeps the first Escape for leaving full screen: leaving it is
      // that Escape.
      okuWeb.wasFullScreen = !!document.fullscreenElement;
      okuWeb.listen(document, 'fullscreenchange', function() {
        var fullScreen = !!document.fullscreenElement;
        if (okuWeb.wasFullScreen && !fullScreen) {
          okuWeb.post(WM_KEYDOWN, VK_ESCAPE);
          okuWeb.post(WM_KEYUP, VK_ESCAPE);
        }
        okuWeb.wasFullScreen = fullScreen;
      });
      okuWeb.listen(document, 'visibilitychange', function() {
        okuWeb.post(WM_ACTIVATE, document.hidden ? 0 : 1);
      });
    },

    // Our programs read the clip plane and the alpha test from uniforms of their
    // own; the emulation keeps that state for its fixed-function programs only.
    beforeDraw: function() {
      var id = GL.currProgram;
      if (!id) return;
      var program = GL.programs[id];
      if (!program) return;
      var u = program.okuState;
      if (!u) {
        u = program.okuState = {
          eye: GLctx.getUniformLocation(program, 'oku_clipPlaneEye'),
          clip: GLctx.getUniformLocation(program, 'oku_clipPlaneClip'),
          func: GLctx.getUniformLocation(program, 'oku_alphaFunc'),
          ref: GLctx.getUniformLocation(program, 'oku_alphaRef'),
        };
      }
      var clipping = GLEmulation.clipPlaneEnabled[0];
      var eye = clipping ? GLEmulation.clipPlaneEquation[0] : [0, 0, 0, 0];
      if (u.eye) GLctx.uniform4f(u.eye, eye[0], eye[1], eye[2], eye[3]);
      if (u.clip) {
        // The plane in clip space: the eye-space plane times the inverse projection.
        var clip = [0, 0, 0, 0];
        if (clipping) {
          var inverse = GLImmediate.matrixLib.mat4.create(GLImmediate.matrix[1]);
          GLImmediate.matrixLib.mat4.inverse(inverse);
          for (var j = 0; j < 4; j++) {
            clip[j] = eye[0] * inverse[4 * j] + eye[1] * inverse[4 * j + 1] + eye[2] * inverse[4 * j + 2] +
                      eye[3] * inverse[4 * j + 3];
          }
        }
        GLctx.uniform4f(u.clip, clip[0], clip[1], clip[2], clip[3]);
      }
      if (u.func) GLctx.uniform1i(u.func, GLEmulation.alphaTestEnabled ? GLEmulation.alphaTestFunc : 0);
      if (u.ref) GLctx.uniform1f(u.ref, GLEmulation.alphaTestRef);
    },

    hookDraws: function(context) {
      ['drawArrays', 'drawElements'].forEach(function(name) {
        var draw = context[name];
        context[name] = function() {
          okuClientArrays.repoint();
          okuWeb.beforeDraw();
          return draw.apply(context, arguments);
        };
      });
    },

    // The emulation enables the WebGL 1 derivatives extension for any fragment
    // shader that takes derivatives, by a line in front of the source; GLSL ES 3.00
    // has them built in and wants its #version line first.
    keepVersionFirst: function() {
      if (GL.okuVersionFirst) return;
      GL.okuVersionFirst = true;
      var getSource = GL.getSource;
      GL.getSource = function() {
        var source = getSource.apply(GL, arguments);
        return source.replace(/^#extension GL_OES_standard_derivatives : enable\n(?=#version 300 es)/, '');
      };
    },

    // Once main has slept, its return reaches no one: the exit (and the page's
    // onExit) comes from the promise Asyncify settles when main is done.
    watchMainReturn: function() {
      if (Asyncify.asyncPromiseHandlers) return;
      Asyncify.asyncPromiseHandlers = {
        resolve: function(code) {
          // exit() unwinds by throwing ExitStatus, which here is the end, not an error.
          try { exit(code); } catch (e) { if (!(e instanceof ExitStatus)) throw e; }
        },
        reject: function(error) { setTimeout(function() { throw error; }); },
      };
    },

    stillSecond: function() {
      var still = Module['okuStill'];
      return typeof still === 'number' && isFinite(still) && still >= 0 ? Math.floor(still) : -1;
    },
  },

  okuWebCreateContext__deps: ['$okuWeb', '$Browser'],
  okuWebCreateContext: function(width, height) {
    var canvas = Module['canvas'];
    if (!canvas) return 0;
    canvas.width = width;
    canvas.height = height;
    var context = null;
    try {
      context = Browser.createContext(canvas, true, true, {
        alpha: false, depth: true, stencil: false, antialias: false, majorVersion: 2,
        // A still stays readable from the canvas after it is shown.
        preserveDrawingBuffer: okuWeb.stillSecond() >= 0,
      });
    } catch (e) {
      err('WebGL: ' + e);
    }
    if (!context) return 0;
    okuWeb.hookDraws(context);
    okuWeb.keepVersionFirst();
    okuWeb.watchPage();
    return 1;
  },

  okuWebDeleteContext__deps: ['$okuWeb'],
  okuWebDeleteContext: function() {
    okuWeb.stopListening();
    okuWeb.events = [];
  },

  okuWebNextEvent__deps: ['$okuWeb'],
  okuWebNextEvent: function(message, wParam) {
    var event = okuWeb.events.shift();
    if (!event) return 0;
    HEAP32[message >> 2] = event[0];
    HEAP32[wParam >> 2] = event[1];
    return 1;
  },

  okuWebNow: function() { return performance.now(); },

  okuWebStillSecond__deps: ['$okuWeb'],
  okuWebStillSecond: function() { return okuWeb.stillSecond(); },

  okuWebClockSpeed: function() {
    var speed = Module['okuSpeed'];
    return typeof speed === 'number' && speed > 0 && isFinite(speed) ? speed : 1;
  },

  okuWebFramePresented: function(frame) {
    if (Module['okuOnFrame']) Module['okuOnFrame'](performance.now(), frame);
  },

  okuWebStillShown: function(second) { document.title = 'oku still ' + second; },

  okuWebWaitForNextFrame__deps: ['$okuWeb'],
  okuWebWaitForNextFrame: function() {
    okuWeb.watchMainReturn();
    return Asyncify.handleSleep(function(wakeUp) {
      // A still is not paced: its frames are never shown.
      if (okuWeb.stillSecond() >= 0) setTimeout(wakeUp, 0);
      else requestAnimationFrame(function() { wakeUp(); });
    });
  },

  okuWebSetCursorHidden: function(hidden) {
    var canvas = Module['canvas'];
    if (canvas) canvas.style.cursor = hidden ? 'none' : '';
  },
});
