// The Web Audio side of the browser's sound layer (fmod_web.cpp): decoded tracks,
// voices that play them and the log a page test reads.
//
// The page hands over `Module.okuAudio = { context: AudioContext, decoded: Map }`,
// where `decoded` maps a data path ("sound/helios.mp3") to the promise of its
// AudioBuffer, decoding since the download. A path not in the map is read from the
// Emscripten file system and decoded here.
//
// A voice is one play of a track: a GainNode to the context's destination and,
// while not paused, an AudioBufferSourceNode into it. Pausing stops the source and
// keeps the position; resuming starts a new source there. Buffers and voices are
// known to C++ by number; 0 is never one.
//
// Every decode, play, pause, resume, stop, end and failure is appended to
// Module.okuSoundLog (also globalThis.okuSoundLog): { event, path, duration,
// position, channel, time }, seconds of the track and performance.now(). A
// decode also tells where it came from ('page' or 'file') and how many ms
// createStream waited for it; a play, the context's output latency in seconds;
// an error, the call, the result code and text and the browser's reason; a
// resync (see OkuSound.resync), the position it jumped from.

mergeInto(LibraryManager.library, {
  $OkuSound__deps: ['$FS'],
  $OkuSound: {
    audio: null,
    listening: null,  // the context whose state changes resync the tracks
    buffers: {},  // number -> { buffer, path }
    voices: {},   // number -> voice
    lastNumber: 0,
    lastReason: '',  // why the last decode failed, for the log
    stopFadeSeconds: 0.005,  // as the desktop mixer fades a stopped channel
    resyncSeconds: 0.05,     // how far a track may lag the picture before it jumps

    log: function(event, details) {
      if (!Array.isArray(Module['okuSoundLog'])) Module['okuSoundLog'] = [];
      var log = Module['okuSoundLog'];
      globalThis['okuSoundLog'] = log;
      var entry = { 'event': event };
      for (var name in details) entry[name] = details[name];
      entry['time'] = performance.now();
      log.push(entry);
    },

    number: function() {
      return ++OkuSound.lastNumber;
    },

    // "./sound/x.mp3" and "/sound/x.mp3" are both the page's "sound/x.mp3".
    dataKey: function(path) {
      for (;;) {
        if (path.startsWith('./')) path = path.substring(2);
        else if (path.startsWith('/')) path = path.substring(1);
        else return path;
      }
    },

    decodeBytes: function(context, bytes) {
      // decodeAudioData takes (and detaches) a whole ArrayBuffer of its own.
      var data = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
      return new Promise(function(resolve, reject) {
        var promise = context.decodeAudioData(data, resolve, reject);
        if (promise && promise.then) promise.then(resolve, reject);
      });
    },

    // Resolves to a buffer number, or -1 (the file cannot be read) or -2 (it does
    // not decode). Never rejects: Asyncify's wait would then never return.
    decode: async function(path) {
      var began = performance.now();
      var key = OkuSound.dataKey(path);
      try {
        var audio = OkuSound.audio;
        var decoded = audio['decoded'];
        var pending = decoded && typeof decoded.get === 'function' ? decoded.get(key) : undefined;
        var source = pending ? 'page' : 'file';
        if (!pending) {
          var bytes;
          try {
            bytes = FS.readFile(path);
          } catch (e) {
            OkuSound.lastReason = 'cannot read ' + path;
            return -1;
          }
          pending = OkuSound.decodeBytes(audio['context'], bytes);
        }
        var buffer = await pending;
        if (!buffer || typeof buffer.duration !== 'number' || !(buffer.length > 0)) throw 'no audio in ' + path;
        var number = OkuSound.number();
        OkuSound.buffers[number] = { buffer: buffer, path: key };
        OkuSound.log('decoded', { 'path': key, 'duration': buffer.duration, 'sampleRate': buffer.sampleRate,
                                  'source': source, 'waited': performance.now() - began });
        return number;
      } catch (e) {
        OkuSound.lastReason = String(e && e.message ? e.message : e);
        return -2;
      }
    },

    position: function(voice) {
      if (!voice.source) return voice.offset;
      var played = voice.offset + OkuSound.audio['context'].currentTime - voice.startedAt;
      return Math.min(played, voice.buffer.duration);
    },

    startSource: function(voice) {
      var context = OkuSound.audio['context'];
      var source = context.createBufferSource();
      source.buffer = voice.buffer;
      source.connect(voice.gain);
      source.onended = function() {
        if (voice.source === source) voice.ended = voice.endedEvent = true;
      };
      source.start(0, voice.offset);
      voice.source = source;
      voice.startedAt = context.currentTime;
      voice.startedAtMs = performance.now();
    },

    // The picture runs on performance.now(), the tracks on the context's clock,
    // which stands still while the context is suspended (a page that could not
    // resume it, an interruption by the system). When it runs again, each playing
    // track jumps to where the picture's clock says it is.
    resync: function() {
      for (var number in OkuSound.voices) {
        var voice = OkuSound.voices[number];
        if (!voice.source) continue;
        var due = voice.offset + (performance.now() - voice.startedAtMs) / 1000;
        var at = OkuSound.position(voice);
        if (Math.abs(due - at) < OkuSound.resyncSeconds) continue;
        OkuSound.endSource(voice, 0);
        voice.offset = Math.min(due, voice.buffer.duration);
        OkuSound.startSource(voice);
        OkuSound.log('resync', Object.assign(OkuSound.details(voice), { 'from': at }));
      }
    },

    // Takes the source out of the voice; with fadeSeconds it fades out first.
    endSource: function(voice, fadeSeconds) {
      var source = voice.source;
      voice.source = null;
      if (!source) return;
      source.onended = null;
      if (fadeSeconds > 0) {
        var now = OkuSound.audio['context'].currentTime;
        voice.gain.gain.setValueAtTime(voice.gain.gain.value, now);
        voice.gain.gain.linearRampToValueAtTime(0, now + fadeSeconds);
        source.stop(now + fadeSeconds);
      } else {
        source.stop();
      }
    },

    details: function(voice) {
      return { 'path': voice.path, 'duration': voice.buffer.duration, 'position': OkuSound.position(voice),
               'channel': voice.channel };
    },

    forget: function(number, fadeSeconds) {
      var voice = OkuSound.voices[number];
      if (!voice) return;
      delete OkuSound.voices[number];
      var gain = voice.gain;
      if (voice.source && fadeSeconds > 0) {
        voice.source.addEventListener('ended', function() { gain.disconnect(); });
        OkuSound.endSource(voice, fadeSeconds);
      } else {
        OkuSound.endSource(voice, 0);
        gain.disconnect();
      }
    },
  },

  // 1 when the page provided an audio context to play into, else 0.
  okuSoundOpenOutput__deps: ['$OkuSound'],
  okuSoundOpenOutput: function() {
    var audio = Module['okuAudio'];
    var context = audio ? audio['context'] : null;
    if (!context || typeof context.createBufferSource !== 'function' || context.state === 'closed') return 0;
    OkuSound.audio = audio;
    if (OkuSound.listening !== context) {
      OkuSound.listening = context;
      context.addEventListener('statechange', function() {
        if (context.state === 'running') OkuSound.resync();
      });
    }
    // The page resumes the context on the viewer's click; this only covers a page
    // that did not (a browser without a gesture keeps it suspended).
    if (context.state === 'suspended') context.resume().catch(function() {});
    return 1;
  },

  okuSoundFreeBuffer__deps: ['$OkuSound'],
  okuSoundFreeBuffer: function(number) {
    delete OkuSound.buffers[number];
  },

  // Starts a voice on a buffer at the track's start; returns its number (0 on failure).
  okuSoundVoiceStart__deps: ['$OkuSound'],
  okuSoundVoiceStart: function(bufferNumber, channel, paused) {
    var track = OkuSound.buffers[bufferNumber];
    if (!track) return 0;
    try {
      var context = OkuSound.audio['context'];
      var voice = { buffer: track.buffer, path: track.path, channel: channel, gain: context.createGain(),
                    source: null, offset: 0, startedAt: 0, startedAtMs: 0, ended: false, endedEvent: false };
      voice.gain.connect(context.destination);
      if (!paused) OkuSound.startSource(voice);
      var number = OkuSound.number();
      OkuSound.voices[number] = voice;
      OkuSound.log('play', Object.assign(OkuSound.details(voice), { 'paused': !!paused,
                   'latency': (context.baseLatency || 0) + (context.outputLatency || 0) }));
      return number;
    } catch (e) {
      OkuSound.lastReason = String(e && e.message ? e.message : e);
      return 0;
    }
  },

  okuSoundVoiceSetPaused__deps: ['$OkuSound'],
  okuSoundVoiceSetPaused: function(number, paused) {
    var voice = OkuSound.voices[number];
    if (!voice || !!paused === !voice.source) return;
    if (paused) {
      voice.offset = OkuSound.position(voice);
      OkuSound.endSource(voice, 0);
      OkuSound.log('pause', OkuSound.details(voice));
    } else {
      OkuSound.startSource(voice);
      OkuSound.log('resume', OkuSound.details(voice));
    }
  },

  // Fades the voice out and forgets it.
  okuSoundVoiceStop__deps: ['$OkuSound'],
  okuSoundVoiceStop: function(number) {
    var voice = OkuSound.voices[number];
    if (!voice) return;
    OkuSound.log('stop', OkuSound.details(voice));
    OkuSound.forget(number, OkuSound.stopFadeSeconds);
  },

  // 1 (and the voice is forgotten) once its track has played to the end. The
  // source's ended event comes only between frames, so the context's clock
  // decides too.
  okuSoundVoiceFinished__deps: ['$OkuSound'],
  okuSoundVoiceFinished: function(number) {
    var voice = OkuSound.voices[number];
    if (!voice) return 1;
    if (!voice.ended && voice.source) {
      var context = OkuSound.audio['context'];
      voice.ended = context.currentTime >= voice.startedAt + voice.buffer.duration - voice.offset;
    }
    if (!voice.ended) return 0;
    OkuSound.log('ended', Object.assign(OkuSound.details(voice), { 'position': voice.buffer.duration }));
    delete OkuSound.voices[number];
    // The clock may tell the end a render quantum early: the source plays out.
    var gain = voice.gain;
    if (voice.source && !voice.endedEvent) voice.source.addEventListener('ended', function() { gain.disconnect(); });
    else gain.disconnect();
    return 1;
  },

  // A failed call, with the layer's result code and text.
  okuSoundLogFailure__deps: ['$OkuSound'],
  okuSoundLogFailure: function(call, path, result, text) {
    OkuSound.log('error', { 'call': UTF8ToString(call), 'path': path ? OkuSound.dataKey(UTF8ToString(path)) : '',
                            'result': result, 'message': UTF8ToString(text), 'reason': OkuSound.lastReason });
    OkuSound.lastReason = '';
  },
});
