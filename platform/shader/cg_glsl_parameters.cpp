// Parameter values: uniforms, matrices from floats and from GL state, texture
// parameters and vertex-array parameters. Values live in the parameter records and
// reach a GL program when it is in use: at once if it is, otherwise when the
// runtime makes it current (cg_glsl_programs.cpp).
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/shader/cg_glsl_runtime.h"

namespace cgglsl {

void uploadParameter(const Parameter& parameter, GLint location) {
    if (parameter.kind == ParameterKind::Sampler) {
        glUniform1i(location, parameter.unit);
        return;
    }
    if (parameter.kind != ParameterKind::Uniform || !parameter.hasValue) return;
    const GLsizei count = parameter.arraySize;
    const float* values = parameter.values.data();
    if (parameter.isMatrix) {
        switch (parameter.type) {
            case GL_FLOAT_MAT2: glUniformMatrix2fv(location, count, GL_FALSE, values); break;
            case GL_FLOAT_MAT3: glUniformMatrix3fv(location, count, GL_FALSE, values); break;
            case GL_FLOAT_MAT4: glUniformMatrix4fv(location, count, GL_FALSE, values); break;
            case GL_FLOAT_MAT2x3: glUniformMatrix2x3fv(location, count, GL_FALSE, values); break;
            case GL_FLOAT_MAT2x4: glUniformMatrix2x4fv(location, count, GL_FALSE, values); break;
            case GL_FLOAT_MAT3x2: glUniformMatrix3x2fv(location, count, GL_FALSE, values); break;
            case GL_FLOAT_MAT3x4: glUniformMatrix3x4fv(location, count, GL_FALSE, values); break;
            case GL_FLOAT_MAT4x2: glUniformMatrix4x2fv(location, count, GL_FALSE, values); break;
            case GL_FLOAT_MAT4x3: glUniformMatrix4x3fv(location, count, GL_FALSE, values); break;
            default: break;
        }
        return;
    }
    if (parameter.isInteger) {
        std::vector<GLint> integers(parameter.values.size());
        std::transform(parameter.values.begin(), parameter.values.end(), integers.begin(),
                       [](float value) { return static_cast<GLint>(std::lround(value)); });
        switch (parameter.rows) {
            case 1: glUniform1iv(location, count, integers.data()); break;
            case 2: glUniform2iv(location, count, integers.data()); break;
            case 3: glUniform3iv(location, count, integers.data()); break;
            case 4: glUniform4iv(location, count, integers.data()); break;
            default: break;
        }
        return;
    }
    switch (parameter.rows) {
        case 1: glUniform1fv(location, count, values); break;
        case 2: glUniform2fv(location, count, values); break;
        case 3: glUniform3fv(location, count, values); break;
        case 4: glUniform4fv(location, count, values); break;
        default: break;
    }
}

}  // namespace cgglsl

using namespace cgglsl;

namespace {

Parameter* liveOfKind(CGparameter handle, ParameterKind kind) {
    Parameter* parameter = liveParameter(handle);
    return parameter && parameter->kind == kind ? parameter : nullptr;
}

// A new value takes effect at once when the parameter's program is in use.
void changed(Parameter& parameter) {
    parameter.hasValue = true;
    const LinkedProgram* current = runtime().current;
    if (!current || !current->program) return;
    GLint location = current->locationOf(parameter);
    if (location >= 0) uploadParameter(parameter, location);
}

void setElements(CGparameter handle, long offset, long count, const float* values, int perElement) {
    Parameter* parameter = liveOfKind(handle, ParameterKind::Uniform);
    if (!parameter || parameter->isMatrix || !values || offset < 0 || count < 0) return;
    if (count == 0) count = parameter->arraySize - offset;
    if (count <= 0 || offset + count > parameter->arraySize) return;
    const int components = parameter->components();
    const int used = std::min(perElement, components);
    for (long element = 0; element < count; ++element) {
        float* target = &parameter->values[static_cast<size_t>((offset + element) * components)];
        for (int i = 0; i < used; ++i) target[i] = values[element * perElement + i];
    }
    changed(*parameter);
}

// Stores a matrix given column by column (`rowMajor` false) or row by row, by the
// layout rule of cg.h: square matrices as they are, non-square ones with their
// rows as GLSL columns.
void setMatrix(CGparameter handle, const float* matrix, bool rowMajor) {
    Parameter* parameter = liveOfKind(handle, ParameterKind::Uniform);
    if (!parameter || !parameter->isMatrix || !matrix) return;
    const int columns = parameter->columns, rows = parameter->rows;
    const bool asGiven = columns == rows ? !rowMajor : rowMajor;
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            parameter->values[c * rows + r] = asGiven ? matrix[c * rows + r] : matrix[r * columns + c];
        }
    }
    changed(*parameter);
}

using Matrix = double[16];  // column-major, element (row r, column c) at 4c + r

void readMatrix(GLenum name, Matrix out) {
    float values[16];
    glGetFloatv(name, values);
    for (int i = 0; i < 16; ++i) out[i] = values[i];
}

void multiply(const Matrix a, const Matrix b, Matrix out) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[4 * k + r] * b[4 * c + k];
            out[4 * c + r] = sum;
        }
    }
}

void bindOnUnit(const Parameter& sampler, GLuint texture) {
    if (sampler.unit <= 0) return;
    GLint active = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + sampler.unit));
    glBindTexture(sampler.target, texture);
    glActiveTexture(static_cast<GLenum>(active));
}

Parameter* liveAttribute(CGparameter handle) {
    Parameter* parameter = liveOfKind(handle, ParameterKind::Attribute);
    return parameter && parameter->location >= 0 ? parameter : nullptr;
}

}  // namespace

void cgGLSetParameter1f(CGparameter parameter, float x) {
    const float values[1] = {x};
    setElements(parameter, 0, 1, values, 1);
}
void cgGLSetParameter2f(CGparameter parameter, float x, float y) {
    const float values[2] = {x, y};
    setElements(parameter, 0, 1, values, 2);
}
void cgGLSetParameter3f(CGparameter parameter, float x, float y, float z) {
    const float values[3] = {x, y, z};
    setElements(parameter, 0, 1, values, 3);
}
void cgGLSetParameter4f(CGparameter parameter, float x, float y, float z, float w) {
    const float values[4] = {x, y, z, w};
    setElements(parameter, 0, 1, values, 4);
}
void cgGLSetParameterArray2f(CGparameter parameter, long offset, long count, const float* values) {
    setElements(parameter, offset, count, values, 2);
}

void cgSetMatrixParameterfr(CGparameter parameter, const float* matrix) { setMatrix(parameter, matrix, true); }
void cgGLSetMatrixParameterfc(CGparameter parameter, const float* matrix) { setMatrix(parameter, matrix, false); }

void cgGLSetStateMatrixParameter(CGparameter handle, CGGLenum matrix, CGGLenum transform) {
    Parameter* parameter = liveOfKind(handle, ParameterKind::Uniform);
    if (!parameter || parameter->type != GL_FLOAT_MAT4) return;
    Matrix value;
    switch (matrix) {
        case CG_GL_MODELVIEW_MATRIX: readMatrix(GL_MODELVIEW_MATRIX, value); break;
        case CG_GL_PROJECTION_MATRIX: readMatrix(GL_PROJECTION_MATRIX, value); break;
        case CG_GL_MODELVIEW_PROJECTION_MATRIX: {
            Matrix modelview, projection;
            readMatrix(GL_MODELVIEW_MATRIX, modelview);
            readMatrix(GL_PROJECTION_MATRIX, projection);
            multiply(projection, modelview, value);
            break;
        }
        default: return;
    }
    if (transform != CG_GL_MATRIX_IDENTITY) return;
    for (int i = 0; i < 16; ++i) parameter->values[i] = static_cast<float>(value[i]);
    changed(*parameter);
}

namespace {

// The first call that hands a sampler to the runtime gives it a unit of its own;
// the unit reaches the program in use at once.
Parameter* managedSampler(CGparameter handle) {
    Parameter* sampler = liveOfKind(handle, ParameterKind::Sampler);
    if (!sampler || sampler->unit > 0) return sampler;
    claimTextureUnit(*sampler);
    changed(*sampler);
    return sampler;
}

}  // namespace

void cgGLSetTextureParameter(CGparameter handle, unsigned texture) {
    if (Parameter* sampler = managedSampler(handle)) sampler->texture = texture;
}

unsigned cgGLGetTextureParameter(CGparameter handle) {
    Parameter* sampler = liveOfKind(handle, ParameterKind::Sampler);
    return sampler ? sampler->texture : 0;
}

void cgGLEnableTextureParameter(CGparameter handle) {
    if (Parameter* sampler = managedSampler(handle)) bindOnUnit(*sampler, sampler->texture);
}

void cgGLDisableTextureParameter(CGparameter handle) {
    if (Parameter* sampler = managedSampler(handle)) bindOnUnit(*sampler, 0);
}

unsigned cgGLGetTextureEnum(CGparameter handle) {
    Parameter* sampler = liveOfKind(handle, ParameterKind::Sampler);
    return sampler ? static_cast<unsigned>(GL_TEXTURE0 + sampler->unit) : 0u;
}

void cgGLSetParameterPointer(CGparameter handle, int size, unsigned type, int stride, const void* pointer) {
    Parameter* attribute = liveAttribute(handle);
    if (!attribute || size < 1 || size > 4 || stride < 0) return;
    glVertexAttribPointer(static_cast<GLuint>(attribute->location), size, type, GL_FALSE, stride, pointer);
}

void cgGLEnableClientState(CGparameter handle) {
    if (Parameter* attribute = liveAttribute(handle)) glEnableVertexAttribArray(static_cast<GLuint>(attribute->location));
}

void cgGLDisableClientState(CGparameter handle) {
    if (Parameter* attribute = liveAttribute(handle)) glDisableVertexAttribArray(static_cast<GLuint>(attribute->location));
}

int cgGLGetParameterAttributeLocation(CGparameter handle) {
    Parameter* attribute = liveOfKind(handle, ParameterKind::Attribute);
    return attribute ? attribute->location : -1;
}
