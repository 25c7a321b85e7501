// Immediate-mode texture coordinates that the browser's fixed-function emulation
// lacks: four components on unit 0 (projective look-ups) and two on any unit.
mergeInto(LibraryManager.library, {
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
