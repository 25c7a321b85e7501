// Contexts, compiling programs from source files, linking stage combinations and
// keeping the GL program in use matched to the enabled stages.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/shader/cg_glsl_runtime.h"
#include "platform/shader/cg_glsl_target.h"
#include "platform/log/debug_log.h"

namespace cgglsl {

namespace {

constexpr long kMaxSourceBytes = 16L << 20;

// Generic attribute locations that some drivers alias with the conventional inputs.
const std::pair<const char*, int> kConventionalAttributes[] = {
    {"gl_Normal", 2}, {"gl_Color", 3}, {"gl_SecondaryColor", 4}, {"gl_FogCoord", 5},
    {"gl_MultiTexCoord0", 8}, {"gl_MultiTexCoord1", 9}, {"gl_MultiTexCoord2", 10}, {"gl_MultiTexCoord3", 11},
    {"gl_MultiTexCoord4", 12}, {"gl_MultiTexCoord5", 13}, {"gl_MultiTexCoord6", 14}, {"gl_MultiTexCoord7", 15},
};

bool haveGlsl() {
    return glCreateShader && glShaderSource && glCompileShader && glCreateProgram && glAttachShader &&
           glLinkProgram && glUseProgram && glGetActiveUniform && glGetActiveAttrib && glBindAttribLocation &&
           glUniform1i && glUniformMatrix4fv && glVertexAttribPointer && glEnableVertexAttribArray;
}

bool isIdentifier(const std::string& text) {
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    for (char c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    }
    return true;
}

bool readFile(const std::string& path, std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && size <= kMaxSourceBytes && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        text.resize(static_cast<size_t>(size));
        ok = size == 0 || std::fread(&text[0], 1, text.size(), file) == text.size();
    }
    std::fclose(file);
    return ok;
}

std::string shaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
    glGetShaderInfoLog(shader, length, nullptr, &log[0]);
    log.resize(std::strlen(log.c_str()));
    return log;
}

std::string programLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
    glGetProgramInfoLog(program, length, nullptr, &log[0]);
    log.resize(std::strlen(log.c_str()));
    return log;
}

bool isSamplerType(GLenum type, GLenum& target) {
    switch (type) {
        case GL_SAMPLER_1D:
        case GL_SAMPLER_1D_SHADOW: target = GL_TEXTURE_1D; return true;
        case GL_SAMPLER_2D:
        case GL_SAMPLER_2D_SHADOW: target = GL_TEXTURE_2D; return true;
        case GL_SAMPLER_3D: target = GL_TEXTURE_3D; return true;
        case GL_SAMPLER_CUBE: target = GL_TEXTURE_CUBE_MAP; return true;
        case GL_SAMPLER_2D_RECT:
        case GL_SAMPLER_2D_RECT_SHADOW: target = GL_TEXTURE_RECTANGLE; return true;
        default: return false;
    }
}

// Columns and rows of a value type; false for types the runtime does not set.
bool valueShape(GLenum type, int& columns, int& rows, bool& isMatrix, bool& isInteger) {
    isMatrix = false;
    isInteger = false;
    columns = 1;
    switch (type) {
        case GL_FLOAT: rows = 1; return true;
        case GL_FLOAT_VEC2: rows = 2; return true;
        case GL_FLOAT_VEC3: rows = 3; return true;
        case GL_FLOAT_VEC4: rows = 4; return true;
        case GL_INT:
        case GL_BOOL: rows = 1; isInteger = true; return true;
        case GL_INT_VEC2:
        case GL_BOOL_VEC2: rows = 2; isInteger = true; return true;
        case GL_INT_VEC3:
        case GL_BOOL_VEC3: rows = 3; isInteger = true; return true;
        case GL_INT_VEC4:
        case GL_BOOL_VEC4: rows = 4; isInteger = true; return true;
        default: break;
    }
    isMatrix = true;
    switch (type) {
        case GL_FLOAT_MAT2: columns = 2; rows = 2; return true;
        case GL_FLOAT_MAT3: columns = 3; rows = 3; return true;
        case GL_FLOAT_MAT4: columns = 4; rows = 4; return true;
        case GL_FLOAT_MAT2x3: columns = 2; rows = 3; return true;
        case GL_FLOAT_MAT2x4: columns = 2; rows = 4; return true;
        case GL_FLOAT_MAT3x2: columns = 3; rows = 2; return true;
        case GL_FLOAT_MAT3x4: columns = 3; rows = 4; return true;
        case GL_FLOAT_MAT4x2: columns = 4; rows = 2; return true;
        case GL_FLOAT_MAT4x3: columns = 4; rows = 3; return true;
        default: return false;
    }
}

std::string plainName(const char* reported) {
    std::string name = reported;
    if (name.size() > 3 && name.compare(name.size() - 3, 3, "[0]") == 0) name.resize(name.size() - 3);
    return name;
}

void addParameter(Runtime& rt, Program& program, std::unique_ptr<Parameter> parameter) {
    parameter->id = rt.nextId++;
    parameter->program = &program;
    parameter->index = program.parameters.size();
    rt.parameters[parameter->id] = parameter.get();
    program.byName[parameter->name] = parameter.get();
    program.parameters.push_back(std::move(parameter));
}

GLint maxTextureUnits() {
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    return std::max(units, 2);
}

}  // namespace

void claimTextureUnit(Parameter& sampler) {
    if (sampler.unit > 0) return;
    Runtime& rt = runtime();
    if (rt.unitHolders.empty()) rt.unitHolders.assign(static_cast<size_t>(maxTextureUnits()), 0);
    // The lowest free unit from 1; when all are held, the least shared one.
    int best = 1;
    for (int unit = 1; unit < static_cast<int>(rt.unitHolders.size()); ++unit) {
        if (rt.unitHolders[unit] == 0) {
            best = unit;
            break;
        }
        if (rt.unitHolders[unit] < rt.unitHolders[best]) best = unit;
    }
    if (rt.unitHolders[best] > 0) debugLog("cg: texture unit %d is shared by more than one sampler\n", best);
    ++rt.unitHolders[best];
    sampler.unit = best;
}

namespace {

void releaseTextureUnits(Runtime& rt, Program& program) {
    for (auto& parameter : program.parameters) {
        if (parameter->kind != ParameterKind::Sampler || parameter->unit <= 0) continue;
        if (parameter->unit < static_cast<int>(rt.unitHolders.size()) && rt.unitHolders[parameter->unit] > 0) {
            --rt.unitHolders[parameter->unit];
        }
        parameter->unit = 0;
    }
}

// Finds the program's uniforms and samplers (and a vertex program's attributes) in
// its own link.
void collectParameters(Runtime& rt, Program& program, GLuint linked, std::vector<std::string>& conventionalInputs) {
    GLint count = 0, longest = 0;
    glGetProgramiv(linked, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(linked, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::vector<char> name(static_cast<size_t>(std::max(longest, 1)) + 1);
    std::vector<std::unique_ptr<Parameter>> samplers;  // listed after the values, in name order
    for (GLint i = 0; i < count; ++i) {
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(linked, static_cast<GLuint>(i), static_cast<GLsizei>(name.size()), nullptr, &size, &type,
                           name.data());
        std::string conventional;
        if (isBuiltInInput(plainName(name.data()), conventional)) continue;
        auto parameter = std::make_unique<Parameter>();
        parameter->name = plainName(name.data());
        parameter->type = type;
        parameter->arraySize = std::max(size, 1);
        if (isSamplerType(type, parameter->target)) {
            parameter->kind = ParameterKind::Sampler;
            samplers.push_back(std::move(parameter));
            continue;
        }
        if (!valueShape(type, parameter->columns, parameter->rows, parameter->isMatrix, parameter->isInteger)) continue;
        parameter->values.assign(static_cast<size_t>(parameter->components()) * parameter->arraySize, 0.0f);
        addParameter(rt, program, std::move(parameter));
    }
    std::sort(samplers.begin(), samplers.end(), [](const auto& a, const auto& b) { return a->name < b->name; });
    for (auto& sampler : samplers) addParameter(rt, program, std::move(sampler));
    if (!program.isVertex()) return;

    glGetProgramiv(linked, GL_ACTIVE_ATTRIBUTES, &count);
    glGetProgramiv(linked, GL_ACTIVE_ATTRIBUTE_MAX_LENGTH, &longest);
    name.assign(static_cast<size_t>(std::max(longest, 1)) + 1, '\0');
    std::vector<std::unique_ptr<Parameter>> attributes;
    for (GLint i = 0; i < count; ++i) {
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(linked, static_cast<GLuint>(i), static_cast<GLsizei>(name.size()), nullptr, &size, &type,
                          name.data());
        std::string conventional;
        if (isBuiltInInput(name.data(), conventional)) {
            if (!conventional.empty()) conventionalInputs.push_back(conventional);
            continue;
        }
        auto parameter = std::make_unique<Parameter>();
        parameter->kind = ParameterKind::Attribute;
        parameter->name = name.data();
        parameter->type = type;
        attributes.push_back(std::move(parameter));
    }
    std::sort(attributes.begin(), attributes.end(), [](const auto& a, const auto& b) { return a->name < b->name; });
    for (auto& attribute : attributes) addParameter(rt, program, std::move(attribute));
}

// Fixed generic locations for a vertex program's attributes (rules in cg_gl.h).
void assignAttributeLocations(Program& program, const std::vector<std::string>& conventionalInputs) {
    GLint maxAttributes = 16;
    glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &maxAttributes);
    std::vector<bool> taken(static_cast<size_t>(std::max(maxAttributes, 1)), false);
    bool readsVertex = false;
    for (const std::string& input : conventionalInputs) {
        if (input == "gl_Vertex") readsVertex = true;
        for (const auto& [conventional, location] : kConventionalAttributes) {
            if (input == conventional && location < maxAttributes) taken[location] = true;
        }
    }
    taken[0] = true;
    std::vector<Parameter*> attributes;
    for (auto& parameter : program.parameters) {
        if (parameter->kind == ParameterKind::Attribute) attributes.push_back(parameter.get());
    }
    if (!readsVertex && !attributes.empty()) {
        auto position = std::find_if(attributes.begin(), attributes.end(), [](Parameter* p) { return p->name == "position"; });
        Parameter* first = position != attributes.end() ? *position : attributes.front();
        first->location = 0;
    }
    for (Parameter* attribute : attributes) {
        if (attribute->location == 0) continue;
        for (GLint location = 1; location < maxAttributes; ++location) {
            if (!taken[location]) {
                taken[location] = true;
                attribute->location = location;
                break;
            }
        }
    }
}

void bindAttributeLocations(const Program& program, GLuint linked) {
    for (const auto& parameter : program.parameters) {
        if (parameter->kind == ParameterKind::Attribute && parameter->location >= 0) {
            glBindAttribLocation(linked, static_cast<GLuint>(parameter->location), parameter->name.c_str());
        }
    }
}

bool linkStatus(GLuint program) {
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked == GL_TRUE;
}

void resolveLocations(LinkedProgram& link) {
    auto locations = [&](Program* program, std::vector<GLint>& out) {
        out.clear();
        if (!program) return;
        for (const auto& parameter : program->parameters) {
            GLint location = -1;
            if (link.program && parameter->kind != ParameterKind::Attribute) {
                location = glGetUniformLocation(link.program, parameter->name.c_str());
            }
            out.push_back(location);
        }
    };
    locations(link.vertex, link.vertexLocations);
    locations(link.fragment, link.fragmentLocations);
}

// Links a stage combination; a failed link is kept (as program 0) so it is tried once.
LinkedProgram& linkStages(Runtime& rt, const StageKey& key) {
    LinkedProgram& link = rt.linked[key];
    link.vertex = key.first;
    link.fragment = key.second;
    GLuint program = glCreateProgram();
    if (link.vertex) {
        glAttachShader(program, link.vertex->shader);
        bindAttributeLocations(*link.vertex, program);
    } else if (GLuint standIn = standInShader(true)) {
        glAttachShader(program, standIn);
    }
    if (link.fragment) glAttachShader(program, link.fragment->shader);
    else if (GLuint standIn = standInShader(false)) glAttachShader(program, standIn);
    glLinkProgram(program);
    if (linkStatus(program)) {
        link.program = program;
    } else {
        debugLog("cg: linking %s (%s) with %s (%s) failed:\n%s\n", link.vertex ? link.vertex->file.c_str() : "-",
                 link.vertex ? link.vertex->entry.c_str() : "-", link.fragment ? link.fragment->file.c_str() : "-",
                 link.fragment ? link.fragment->entry.c_str() : "-", programLog(program).c_str());
        glDeleteProgram(program);
    }
    resolveLocations(link);
    return link;
}

void uploadAll(const LinkedProgram& link) {
    auto upload = [](Program* program, const std::vector<GLint>& locations) {
        if (!program) return;
        for (size_t i = 0; i < program->parameters.size() && i < locations.size(); ++i) {
            if (locations[i] >= 0) uploadParameter(*program->parameters[i], locations[i]);
        }
    };
    upload(link.vertex, link.vertexLocations);
    upload(link.fragment, link.fragmentLocations);
}

// Forgets everything made in a GL context that is no longer current.
void forgetGLObjects(Runtime& rt) {
    rt.linked.clear();
    rt.current = nullptr;
    rt.boundVertex = rt.boundFragment = nullptr;
    rt.vertexEnabled = rt.fragmentEnabled = false;
    rt.pointSizeEnabled = false;
    for (auto& entry : rt.programs) {
        Program& program = *entry.second;
        if (program.generation == rt.generation) {
            program.shader = 0;
            releaseTextureUnits(rt, program);
        }
    }
    rt.unitHolders.clear();
    rt.probe = 0;
}

void destroyProgram(Runtime& rt, Program* program) {
    const bool live = program->generation == rt.generation && currentGLContext() == rt.glContext;
    if (rt.boundVertex == program) rt.boundVertex = nullptr;
    if (rt.boundFragment == program) rt.boundFragment = nullptr;
    bool wasCurrent = false;
    for (auto it = rt.linked.begin(); it != rt.linked.end();) {
        if (it->first.first == program || it->first.second == program) {
            wasCurrent = wasCurrent || rt.current == &it->second;
            if (live && it->second.program) glDeleteProgram(it->second.program);
            it = rt.linked.erase(it);
        } else {
            ++it;
        }
    }
    if (wasCurrent) rt.current = nullptr;
    if (live && program->shader) glDeleteShader(program->shader);
    releaseTextureUnits(rt, *program);
    for (auto& parameter : program->parameters) rt.parameters.erase(parameter->id);
    auto& owned = program->context->programs;
    owned.erase(std::remove(owned.begin(), owned.end(), program), owned.end());
    const uint64_t id = program->id;
    rt.programs.erase(id);  // frees the record
    if (wasCurrent && live) {
        glUseProgram(0);
        applyStages();
    }
}

}  // namespace

std::string assembleSource(bool vertex, const std::string& entry, const std::string& fileText) {
    std::string source = "#version 120\n";
    source += vertex ? "#define CG_VERTEX 1\n" : "#define CG_FRAGMENT 1\n";
    source += "#define CG_ENTRY_" + entry + " 1\n";
    if (entry != "main") source += "#define " + entry + " main\n";
    // GLSL 1.20 numbers the line after "#line n" as n + 1.
    source += "#line 0\n";
    source += fileText;
    return source;
}

GLint LinkedProgram::locationOf(const Parameter& parameter) const {
    const std::vector<GLint>* locations = nullptr;
    if (parameter.program == vertex) locations = &vertexLocations;
    else if (parameter.program == fragment) locations = &fragmentLocations;
    if (!locations || parameter.index >= locations->size()) return -1;
    return (*locations)[parameter.index];
}

Runtime& runtime() {
    static Runtime instance;
    return instance;
}

bool syncGLContext(bool thorough) {
    Runtime& rt = runtime();
    void* current = currentGLContext();
    if (!current) return false;
    if (current == rt.glContext && (!thorough || contextProbeMatches(rt))) return true;
    if (rt.glContext) forgetGLObjects(rt);
    rt.glContext = current;
    ++rt.generation;
    createContextProbe(rt);
    return true;
}

Program* liveProgram(CGprogram handle) {
    Runtime& rt = runtime();
    auto found = rt.programs.find(fromHandle(handle));
    if (found == rt.programs.end()) return nullptr;
    Program* program = found->second.get();
    if (program->generation != rt.generation || !program->shader) return nullptr;
    if (currentGLContext() != rt.glContext) return nullptr;
    return program;
}

Parameter* liveParameter(CGparameter handle) {
    Runtime& rt = runtime();
    auto found = rt.parameters.find(fromHandle(handle));
    if (found == rt.parameters.end()) return nullptr;
    Parameter* parameter = found->second;
    if (!liveProgram(toHandle<CGprogram>(parameter->program->id))) return nullptr;
    return parameter;
}

void applyStages() {
    Runtime& rt = runtime();
    Program* vertex = rt.vertexEnabled ? rt.boundVertex : nullptr;
    Program* fragment = rt.fragmentEnabled ? rt.boundFragment : nullptr;
    LinkedProgram* wanted = nullptr;
    if (vertex || fragment) {
        StageKey key(vertex, fragment);
        auto found = rt.linked.find(key);
        wanted = found != rt.linked.end() ? &found->second : &linkStages(rt, key);
    }
    if (wanted != rt.current) {
        rt.current = wanted;
        glUseProgram(wanted ? wanted->program : 0);
        if (wanted && wanted->program) uploadAll(*wanted);
    }
    const bool pointSize = wanted && wanted->program && vertex && vertex->writesPointSize;
    if (pointSize != rt.pointSizeEnabled) {
        setProgramPointSize(pointSize);
        rt.pointSizeEnabled = pointSize;
    }
}

}  // namespace cgglsl

using namespace cgglsl;

CGcontext cgCreateContext(void) {
    Runtime& rt = runtime();
    auto context = std::make_unique<Context>();
    context->id = rt.nextId++;
    CGcontext handle = toHandle<CGcontext>(context->id);
    rt.contexts[context->id] = std::move(context);
    return handle;
}

void cgDestroyContext(CGcontext handle) {
    Runtime& rt = runtime();
    auto found = rt.contexts.find(fromHandle(handle));
    if (found == rt.contexts.end()) return;
    if (currentGLContext()) syncGLContext(true);
    Context* context = found->second.get();
    while (!context->programs.empty()) destroyProgram(rt, context->programs.back());
    rt.contexts.erase(found);
}

CGbool cgIsContext(CGcontext handle) { return runtime().contexts.count(fromHandle(handle)) ? CG_TRUE : CG_FALSE; }

const char* cgGetLastListing(CGcontext handle) {
    Runtime& rt = runtime();
    auto found = rt.contexts.find(fromHandle(handle));
    return found == rt.contexts.end() ? "" : found->second->listing.c_str();
}

CGprogram cgCreateProgramFromFile(CGcontext contextHandle, CGenum programType, const char* programFile,
                                  CGprofile profile, const char* entry, const char** /*args*/) {
    Runtime& rt = runtime();
    auto found = rt.contexts.find(fromHandle(contextHandle));
    if (found == rt.contexts.end()) {
        debugLog("cg: %s: no such context\n", programFile ? programFile : "(null)");
        return nullptr;
    }
    Context& context = *found->second;
    const std::string file = programFile ? programFile : "";
    const std::string entryName = entry ? entry : "main";
    auto fail = [&](const std::string& reason) -> CGprogram {
        context.listing = file + " (" + entryName + "): " + reason;
        debugLog("cg: %s\n", context.listing.c_str());
        return nullptr;
    };
    if (programType != CG_SOURCE) return fail("only source programs can be compiled");
    if (profile != CG_PROFILE_GLSLV && profile != CG_PROFILE_GLSLF) return fail("unknown profile");
    if (!isIdentifier(entryName)) return fail("entry is not a name");
    if (!syncGLContext(true) || !haveGlsl()) return fail("no OpenGL context with GLSL");

    std::string text;
    if (!readFile(file, text)) return fail("cannot read the file");
    auto program = std::make_unique<Program>();
    program->context = &context;
    program->generation = rt.generation;
    program->profile = profile;
    program->file = file;
    program->entry = entryName;
    const std::string source = targetSource(program->isVertex(), program->entry, text);

    GLuint shader = glCreateShader(profile == CG_PROFILE_GLSLV ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    const GLchar* sourceText = source.c_str();
    const GLint sourceLength = static_cast<GLint>(source.size());
    glShaderSource(shader, 1, &sourceText, &sourceLength);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    std::string log = shaderLog(shader);
    if (compiled != GL_TRUE) {
        glDeleteShader(shader);
        return fail("compile failed:\n" + log);
    }
    program->shader = shader;

    // Its own link validates it (a missing entry shows here) and lists its parameters.
    GLuint solo = glCreateProgram();
    glAttachShader(solo, shader);
    if (GLuint standIn = standInShader(!program->isVertex())) glAttachShader(solo, standIn);
    glLinkProgram(solo);
    if (!linkStatus(solo)) {
        std::string linkLog = programLog(solo);
        glDeleteProgram(solo);
        glDeleteShader(shader);
        return fail("link failed:\n" + linkLog);
    }
    std::vector<std::string> conventionalInputs;
    collectParameters(rt, *program, solo, conventionalInputs);
    glDeleteProgram(solo);
    if (program->isVertex()) assignAttributeLocations(*program, conventionalInputs);
    program->writesPointSize = program->isVertex() && text.find("gl_PointSize") != std::string::npos;

    context.listing = log;
    if (!log.empty()) debugLog("cg: %s (%s):\n%s\n", file.c_str(), entryName.c_str(), log.c_str());
    program->id = rt.nextId++;
    CGprogram handle = toHandle<CGprogram>(program->id);
    context.programs.push_back(program.get());
    rt.programs[program->id] = std::move(program);
    return handle;
}

void cgDestroyProgram(CGprogram handle) {
    Runtime& rt = runtime();
    auto found = rt.programs.find(fromHandle(handle));
    if (found == rt.programs.end()) return;
    if (currentGLContext()) syncGLContext(true);
    destroyProgram(rt, found->second.get());
}

CGbool cgIsProgram(CGprogram handle) { return runtime().programs.count(fromHandle(handle)) ? CG_TRUE : CG_FALSE; }

CGparameter cgGetNamedParameter(CGprogram handle, const char* name) {
    Runtime& rt = runtime();
    auto found = rt.programs.find(fromHandle(handle));
    if (found == rt.programs.end() || !name) return nullptr;
    auto parameter = found->second->byName.find(name);
    if (parameter == found->second->byName.end()) return nullptr;
    return toHandle<CGparameter>(parameter->second->id);
}

CGbool cgIsParameter(CGparameter handle) { return runtime().parameters.count(fromHandle(handle)) ? CG_TRUE : CG_FALSE; }

CGprofile cgGLGetLatestProfile(CGGLenum profileClass) {
    if (!haveGlsl()) return CG_PROFILE_UNKNOWN;
    if (profileClass == CG_GL_VERTEX) return CG_PROFILE_GLSLV;
    if (profileClass == CG_GL_FRAGMENT) return CG_PROFILE_GLSLF;
    return CG_PROFILE_UNKNOWN;
}

void cgGLSetOptimalOptions(CGprofile) {}

void cgGLLoadProgram(CGprogram handle) {
    if (Program* program = liveProgram(handle)) program->loaded = true;
}

void cgGLBindProgram(CGprogram handle) {
    if (!syncGLContext(true)) return;
    Program* program = liveProgram(handle);
    if (!program) return;
    Runtime& rt = runtime();
    (program->isVertex() ? rt.boundVertex : rt.boundFragment) = program;
    applyStages();
}

void cgGLEnableProfile(CGprofile profile) {
    if (!syncGLContext(true) || !haveGlsl()) return;
    Runtime& rt = runtime();
    if (profile == CG_PROFILE_GLSLV) rt.vertexEnabled = true;
    else if (profile == CG_PROFILE_GLSLF) rt.fragmentEnabled = true;
    else return;
    applyStages();
}

void cgGLDisableProfile(CGprofile profile) {
    if (!syncGLContext(true) || !haveGlsl()) return;
    Runtime& rt = runtime();
    if (profile == CG_PROFILE_GLSLV) rt.vertexEnabled = false;
    else if (profile == CG_PROFILE_GLSLF) rt.fragmentEnabled = false;
    else return;
    applyStages();
}
