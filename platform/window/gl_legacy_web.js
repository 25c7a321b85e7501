// What the browser's fixed-function emulation lacks: immediate-mode texture
// coordinates (four components on unit 0 for projective look-ups, two on any unit),
// and client arrays in buffers of their own. The emulation takes every array of a
// draw from the one buffer bound at the draw, with one stride; the buffer and
// layout each array was pointed at are recorded here and the arrays pointed at
// them again just before the draw reaches WebGL (win32_web.js calls
// okuClientArrays.repoint).
mergeInto(LibraryManager.library, {
  $okuClientArrays__deps: ['$GL', '$GLImmediate'],
  $okuClientArrays: {
    recorded: {},  // by the emulation's attribute index
    immediate: false,  // between glBegin and glEnd

    record: function(array, size, type, stride, offset) {
      var index;
      switch (array) {
        case 0x8074: index = GLImmediate.VERTEX; break;  // GL_VERTEX_ARRAY
        case 0x8075: index = GLImmediate.NORMAL; break;  // GL_NORMAL_ARRAY
        case 0x8076: index = GLImmediate.COLOR; break;  // GL_COLOR_ARRAY
        default: index = GLImmediate.TEXTURE0 + GLImmediate.clientActiveTexture; break;
      }
      var buffer = GLctx.currentArrayBufferBinding || 0;
      okuClientArrays.recorded[index] = buffer ? {buffer: buffer, size: size, type: type, stride: stride, offset: offset,
                                                  normalized: array == 0x8076} : null;
    },

    bytesOf: function(type) {
      return type == 0x1400 || type == 0x1401 ? 1 : type == 0x1402 || type == 0x1403 ? 2 : 4;
    },

    repoint: function() {
      var renderer = GLImmediate.currentRenderer;
      if (!renderer || okuClientArrays.immediate) return;
      var locations = [];
      var enabled = GLImmediate.enabledClientAttributes;
      var add = function(index, location) {
        var array = okuClientArrays.recorded[index];
        if (array && enabled[index] && location !== undefined && location >= 0) locations.push([location, array]);
      };
      add(GLImmediate.VERTEX, renderer.positionLocation);
      add(GLImmediate.NORMAL, renderer.normalLocation);
      add(GLImmediate.COLOR, renderer.colorLocation);
      for (var unit = 0; unit < GLImmediate.MAX_TEXTURES; unit++) {
        add(GLImmediate.TEXTURE0 + unit, renderer.texCoordLocations && renderer.texCoordLocations[unit]);
      }
      if (!locations.length) return;
      locations.forEach(function(entry) {
        var array = entry[1];
        GLctx.bindBuffer(GLctx.ARRAY_BUFFER, GL.buffers[array.buffer]);
        GLctx.vertexAttribPointer(entry[0], array.size, array.type, array.normalized,
                                  array.stride || array.size * okuClientArrays.bytesOf(array.type), array.offset);
      });
      var bound = GLctx.currentArrayBufferBinding;
      GLctx.bindBuffer(GLctx.ARRAY_BUFFER, bound ? GL.buffers[bound] : null);
    },
  },

  okuWebImmediateMode__deps: ['$okuClientArrays'],
  okuWebImmediateMode: function(on) { okuClientArrays.immediate = !!on; },

  okuWebRecordClientArray__deps: ['$okuClientArrays'],
  okuWebRecordClientArray: function(array, size, type, stride, pointer) {
    okuClientArrays.record(array, size, type, stride, pointer);
  },

  glTexCoord4f__deps: ['$GLImmediate'],
  glTexCoord4f: function(s, t, r, q) {
    GLImmediate.vertexData[GLImmediate.vertexCounter++] = s;
    GLImmediate.vertexData[GLImmediate.vertexCounter++] = t;
    GLImmediate.vertexData[GLImmediate.vertexCounter++] = r;
    GLImmediate.vertexData[GLImmediate.vertexCounter++] = q;
    GLImmediate.addRendererComponent(GLImmediate.TEXTURE0, 4, GLctx.FLOAT);
  },

  glMultiTexCoord2f__deps: ['$GLImmediate'],
  glMultiTexCoord2f: function(target, s, t) {
    GLImmediate.vertexData[GLImmediate.vertexCounter++] = s;
    GLImmediate.vertexData[GLImmediate.vertexCounter++] = t;
    GLImmediate.addRendererComponent(GLImmediate.TEXTURE0 + (target - 0x84C0 /* GL_TEXTURE0 */), 2, GLctx.FLOAT);
  },
});
