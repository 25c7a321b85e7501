#include "scenes/indoor/bump_mapping.h"

#include "assets/solid_texture.h"
#include "math/spline.h"
#include "math/spline_camera.h"
#include "scenes/indoor/depth_of_field_taps.h"
#include "scenes/indoor/model.h"
#include "shell/demo_app.h"
#include "shell/fmod_check.h"
#include "platform/clock/timer.h"

namespace {

const char* const shaderFile = "./Cg/dofbump.cg";
const int bufferWidth = 1024;
const int bufferHeight = 768;

// Used when a path file is missing or damaged, so the scene still runs and ends.
const float fallbackSceneLength = 90.0f;
const float fallbackLight[3] = {20.0f, 90.0f, 10.0f};
const float fallbackFocus = 150.0f;

bool hasValues(const Spline* path, int count) { return path && path->loaded && path->dimension >= count; }

}  // namespace

BumpMapping::BumpMapping(InputControl* input_, FMOD::System* fmodSystem_)
    : Scene("BumpMapping", input_, fmodSystem_) {}

float BumpMapping::endTime() const {
    if (camera && camera->path && camera->path->loaded) return camera->path->endTime;
    return fallbackSceneLength;
}

void BumpMapping::loadMaterials() {
    const int imageCount = 2 * modelPartCount;
    materialImages = new TgaImage[imageCount];
    bool loaded[2 * modelPartCount] = {};
    for (int part = 0; part < modelPartCount; ++part) {
        loaded[2 * part] = loadTga(materialImages[2 * part], modelParts[part].diffuseTexture);
        loaded[2 * part + 1] = loadTga(materialImages[2 * part + 1], modelParts[part].normalTexture);
    }
    for (int entry = 0; entry < imageCount; ++entry) {
        if (loaded[entry]) createMipmappedTexture(materialImages[entry]);
    }
}

GLuint BumpMapping::materialTexture(int entry) const {
    if (materialImages[entry].textureId != 0) return materialImages[entry].textureId;
    return (entry % 2 == 0) ? neutralDiffuse : flatNormal;
}

void BumpMapping::createOffscreenBuffer() {
    glGenFramebuffersEXT(1, &frameBuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, frameBuffer);
    if (checkError("gen FBO")) return;
    glGenTextures(1, &colorTexture);
    glBindTexture(GL_TEXTURE_2D, colorTexture);
    if (checkError("gen Texture")) return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    if (checkError("tex parameter")) return;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, bufferWidth, bufferHeight, 0, GL_RGBA, GL_FLOAT, nullptr);
    if (checkError("glTexImage2D !!!!!!!!!!")) return;
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, colorTexture, 0);
    if (checkError("glFramebufferTexture2DEXT")) return;
    glGenRenderbuffersEXT(1, &depthRenderbuffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depthRenderbuffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, bufferWidth, bufferHeight);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depthRenderbuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    checkError("unbind FBO");
}

bool BumpMapping::init() {
    lightPath = new Spline("spline/lightPos0.spl");
    focusPath = new Spline("spline/focus.spl");
    camera = new SplineCamera(timer, "spline/camera1.spl", input);

    loadMaterials();
    neutralDiffuse = createSolidTexture(150, 150, 150);
    flatNormal = createSolidTexture(128, 128, 255);

    filterTapCount = depthOfFieldTapCount;
    filterTaps = new float[2 * filterTapCount];
    for (int tap = 0; tap < filterTapCount; ++tap) {
        filterTaps[2 * tap] = static_cast<float>(depthOfFieldTaps[tap][0] * depthOfFieldTapScale);
        filterTaps[2 * tap + 1] = static_cast<float>(depthOfFieldTaps[tap][1] * depthOfFieldTapScale);
    }

    lighting.useContext(demoApp.cgContext);
    lighting.selectProfiles();
    if (checkError("cgGLGetLatestProfile / cgGLSetOptimalOptions")) return false;

    lighting.createVertexProgram(shaderFile, "vertex1");
    if (checkError("cgCreateProgramFromFile vertex")) return false;
    lighting.loadVertexProgram();
    if (checkError("loading vertex program")) return false;
    lighting.createFragmentProgram(shaderFile, "fragment1");
    if (checkError("cgCreateProgramFromFile fragment")) return false;
    lighting.loadFragmentProgram();
    if (checkError("cgGLLoadProgram(fragmentProgram)")) return false;
    dofFragmentProgram = lighting.createProgram(lighting.fragmentProfile, shaderFile, "fragment2");
    if (checkError("cgCreateProgramFromFile fragment")) return false;
    cgGLLoadProgram(dofFragmentProgram);
    if (checkError("cgGLLoadProgram(fragmentProgram)")) return false;

    positionParameter = lighting.vertexParameter("position");
    texCoordParameter = lighting.vertexParameter("texCoord");
    normalParameter = lighting.vertexParameter("normal");
    tangentParameter = lighting.vertexParameter("tangent");
    lightPosParameter = lighting.vertexParameter("lightPos");
    baseTextureParameter = lighting.fragmentParameter("BaseTexture");
    normalTextureParameter = lighting.fragmentParameter("NormalTexture");
    dofBaseTextureParameter = cgGetNamedParameter(dofFragmentProgram, "BaseTexture");
    dofNormalTextureParameter = cgGetNamedParameter(dofFragmentProgram, "NormalTexture");
    filterTapsParameter = cgGetNamedParameter(dofFragmentProgram, "FilterTabs");
    focusPlaneParameter = cgGetNamedParameter(dofFragmentProgram, "FocusPlane");
    modelViewParameter = lighting.vertexParameter("MV");
    projectionParameter = lighting.vertexParameter("P");

    // The model's arrays are bound once for the scene's whole life.
    cgGLEnableClientState(positionParameter);
    cgGLSetParameterPointer(positionParameter, 3, GL_FLOAT, 0, modelPositions);
    if (checkError("position")) return false;
    cgGLEnableClientState(normalParameter);
    cgGLSetParameterPointer(normalParameter, 3, GL_FLOAT, 0, modelNormals);
    if (checkError("normal")) return false;
    cgGLEnableClientState(tangentParameter);
    cgGLSetParameterPointer(tangentParameter, 3, GL_FLOAT, 0, modelTangents);
    if (checkError("tangent")) return false;
    cgGLEnableClientState(texCoordParameter);
    cgGLSetParameterPointer(texCoordParameter, 2, GL_FLOAT, 0, modelTexCoords);
    if (checkError("texCoord")) return false;

    lighting.enableProfiles();
    if (checkError("enable both profiles")) return false;
    lighting.bind();
    if (checkError("bind both")) return false;
    cgGLEnableTextureParameter(baseTextureParameter);
    cgGLEnableTextureParameter(normalTextureParameter);
    if (checkError("no errors until now")) return false;

    createOffscreenBuffer();
    startMusic("./sound/beast.mp3");
    return true;
}

bool BumpMapping::render() {
    const float t = static_cast<float>(timer->total());
    if (t > endTime()) finished = true;

    camera->apply();
    lightPath->evaluate(t);
    focusPath->evaluate(t);
    const float* light = hasValues(lightPath, 3) ? lightPath->values : fallbackLight;
    const float focus = hasValues(focusPath, 1) ? focusPath->values[0] : fallbackFocus;

    drawModel(light);
    drawDepthOfField(focus);
    return true;
}

bool BumpMapping::hasLightingPrograms() const { return lighting.vertexProgram && lighting.fragmentProgram; }

void BumpMapping::drawModel(const float light[3]) {
    // Without the lighting programs (a missing or broken shader file) pass 1 falls
    // back to fixed function, so the set is still seen.
    if (!hasLightingPrograms()) {
        drawPlainModel();
        return;
    }
    beginModelPass(light);
    for (int part = 0; part < modelPartCount; ++part) {
        drawPart(materialTexture(2 * part), materialTexture(2 * part + 1), modelParts[part].firstTriangle,
                 modelParts[part].triangleCount);
    }
    endModelPass();
}

void BumpMapping::applyModelPassState() {
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearDepth(1.0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void BumpMapping::beginModelPass(const float light[3]) {
    applyModelPassState();
    cgGLEnableProfile(lighting.vertexProfile);
    checkError("disable vertex profile");
    lighting.bind();

    cgGLSetParameter3f(lightPosParameter, light[0], light[1], light[2]);
    checkError("lightpos ");
    cgGLSetStateMatrixParameter(modelViewParameter, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_IDENTITY);
    cgGLSetStateMatrixParameter(projectionParameter, CG_GL_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    checkError("gen FBO");

    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, frameBuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void BumpMapping::drawPart(GLuint diffuse, GLuint normalMap, int firstTriangle, int triangleCount) {
    cgGLSetTextureParameter(baseTextureParameter, diffuse);
    cgGLSetTextureParameter(normalTextureParameter, normalMap);
    cgGLEnableTextureParameter(baseTextureParameter);
    cgGLEnableTextureParameter(normalTextureParameter);
    glDrawArrays(GL_TRIANGLES, 3 * firstTriangle, 3 * triangleCount);
    cgGLDisableTextureParameter(baseTextureParameter);
    cgGLDisableTextureParameter(normalTextureParameter);
}

void BumpMapping::endModelPass() {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    cgGLDisableProfile(lighting.vertexProfile);
    checkError("disable vertex profile");
}

void BumpMapping::drawPlainModel() {
    applyModelPassState();
    // Both stages fixed function: a fragment program left bound from an earlier
    // frame must not run over the model.
    cgGLDisableProfile(lighting.vertexProfile);
    cgGLDisableProfile(lighting.fragmentProfile);

    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, frameBuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glActiveTexture(GL_TEXTURE0);
    glClientActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, modelPositions);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, modelTexCoords);
    for (int part = 0; part < modelPartCount; ++part) {
        glBindTexture(GL_TEXTURE_2D, materialTexture(2 * part));
        glDrawArrays(GL_TRIANGLES, 3 * modelParts[part].firstTriangle, 3 * modelParts[part].triangleCount);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindTexture(GL_TEXTURE_2D, colorTexture);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void BumpMapping::drawDepthOfField(float focus) {
    const bool lit = hasLightingPrograms();
    const bool filtered = lit && dofFragmentProgram;
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);

    if (filtered) {
        cgGLBindProgram(dofFragmentProgram);
        checkError("bind fragment");
        cgGLSetTextureParameter(dofBaseTextureParameter, colorTexture);
        cgGLSetParameter1f(focusPlaneParameter, focus);
        cgGLSetParameterArray2f(filterTapsParameter, 0, filterTapCount, filterTaps);
        cgGLEnableTextureParameter(dofBaseTextureParameter);
        cgGLEnableTextureParameter(dofNormalTextureParameter);
    } else {
        // The picture as it is, by plain texturing from unit 0: its colour, with an
        // opaque alpha (the picture's alpha holds depth, or gloss when unlit, and a
        // compositing desktop would show through the window where it is below one).
        cgGLDisableProfile(lighting.fragmentProfile);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, colorTexture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_REPLACE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_PRIMARY_COLOR);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }

    glBegin(GL_QUADS);
    glMultiTexCoord2f(GL_TEXTURE0, 0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glMultiTexCoord2f(GL_TEXTURE0, 1.0f, 0.0f);
    glVertex2f(1.0f, -1.0f);
    glMultiTexCoord2f(GL_TEXTURE0, 1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glMultiTexCoord2f(GL_TEXTURE0, 0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();

    if (filtered) {
        cgGLDisableTextureParameter(dofBaseTextureParameter);
        cgGLDisableTextureParameter(dofNormalTextureParameter);
    } else {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        if (lit) cgGLEnableProfile(lighting.fragmentProfile);  // the lit pass relies on it staying enabled
    }
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
}

bool BumpMapping::cleanup() {
    cgGLDisableTextureParameter(baseTextureParameter);
    cgGLDisableTextureParameter(normalTextureParameter);
    cgGLDisableClientState(positionParameter);
    cgGLDisableClientState(normalParameter);
    cgGLDisableClientState(tangentParameter);
    cgGLDisableClientState(texCoordParameter);
    checkError("disable vara...");
    lighting.disableProfiles();
    checkError("disable profiles");

    delete[] materialImages;
    materialImages = nullptr;

    fmodResult = channel ? channel->stop() : FMOD_ERR_INVALID_HANDLE;
    fmodCheck(fmodResult);

    // The scene is the demo's last: what it made is given back as it ends.
    releaseMemory();
    return true;
}

BumpMapping::~BumpMapping() { releaseMemory(); }

void BumpMapping::releaseMemory() {
    delete[] materialImages;
    materialImages = nullptr;
    delete lightPath;
    lightPath = nullptr;
    delete focusPath;
    focusPath = nullptr;
    delete[] filterTaps;
    filterTaps = nullptr;
}
