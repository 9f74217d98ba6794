#include "render/shaders.h"

#include <string>

#include "base/console.h"

namespace {

// In a web page the GL is WebGL 2 (OpenGL ES 3.0): the same texts compile
// there under its version line, with the precision it asks for.
#ifdef __EMSCRIPTEN__
const char* const kVersionLine = "#version 300 es\nprecision highp float;\n";
#else
const char* const kVersionLine = nullptr;
#endif

std::string forThisGl(const char* source) {
  if (kVersionLine == nullptr) return source;
  const std::string text = source;
  return kVersionLine + text.substr(text.find('\n') + 1);
}

void setShaderSource(GLuint shader, const char* source) {
  const std::string text = forThisGl(source);
  const char* start = text.c_str();
  glShaderSource(shader, 1, &start, nullptr);
}

}  // namespace

// These texts are the game's own and stay as written, spacing included; the
// one addition is `flash`, 0 but for a fighter struck a moment ago, and the
// one removal a horizontal scale that was always 1.
const char* const vertexShaderSource =
    "#version 430 core \n"
    "layout(location = 0) in vec3 position;\n"
    "layout(location = 2) in vec2 vertex_texCoord;\n"
    "out vec2 texCoord;\n"
    "void main() {\n"
    "\ttexCoord = vertex_texCoord;\n"
    "\tgl_Position = vec4(position.x, position.y, position.z, 1.0);\n"
    "}\n";

const char* const fragmentShaderSource =
    "#version 430 core \n"
    " in vec2 texCoord;\n"
    "in vec3 color;\n"
    "uniform sampler2D sampTex1;\n"
    "uniform sampler2D sampTex2;\n"
    "uniform float flash;\n"
    "out vec4 frag_color\n"
    ";void main() {\n"
    "frag_color = texture(sampTex1, texCoord);\n"
    "frag_color.rgb = mix(frag_color.rgb, vec3(1.0), flash);\n"
    "}\n";

void buildShaderProgram(Drawing& drawing) {
  drawing.shaderProgram = 0;
  const GLuint vertexShader = glCreateShader(GL_VERTEX_SHADER);
  const GLuint fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
  setShaderSource(vertexShader, vertexShaderSource);
  setShaderSource(fragmentShader, fragmentShaderSource);
  glCompileShader(vertexShader);
  glCompileShader(fragmentShader);
  GLint isCompiledV = 0;
  GLint isCompiledF = 0;
  glGetShaderiv(fragmentShader, GL_COMPILE_STATUS, &isCompiledF);
  glGetShaderiv(vertexShader, GL_COMPILE_STATUS, &isCompiledV);
  if (isCompiledV == 0 || isCompiledF == 0) {
    consoleLine("fallo");
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    // Nothing could be drawn with a program linked from deleted shaders.
    return;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertexShader);
  glAttachShader(program, fragmentShader);
  glLinkProgram(program);
  glDeleteShader(vertexShader);
  glDeleteShader(fragmentShader);
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "sampTex1"), 0);
  drawing.flashLocation = glGetUniformLocation(program, "flash");
  drawing.shaderProgram = program;
}

void useShaderProgram(const Drawing& drawing) { glUseProgram(drawing.shaderProgram); }

void setSpriteFlash(const Drawing& drawing, float whiteness) { glUniform1f(drawing.flashLocation, whiteness); }
