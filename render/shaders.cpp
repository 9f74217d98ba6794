#include "render/shaders.h"

#include "base/console.h"

// These texts are the game's own and stay exactly as written, spacing included;
// the one addition is `flash`, 0 but for a fighter struck a moment ago.
const char* const vertexShaderSource =
    "#version 430 core \n"
    "layout(location = 0) in vec3 position;\n"
    "layout(location = 2) in vec2 vertex_texCoord;\n"
    "uniform float scaleX;out vec2 texCoord;\n"
    "void main() {\n"
    "\ttexCoord = vertex_texCoord;\n"
    "\tgl_Position = vec4(position.x*scaleX, position.y, position.z, 1.0);\n"
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
  glShaderSource(vertexShader, 1, &vertexShaderSource, nullptr);
  glShaderSource(fragmentShader, 1, &fragmentShaderSource, nullptr);
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
  drawing.scaleXLocation = glGetUniformLocation(program, "scaleX");
  drawing.shaderProgram = program;
}

void useShaderProgram(const Drawing& drawing) {
  glUniform1f(drawing.scaleXLocation, 1.0f);
  glUseProgram(drawing.shaderProgram);
}

void setSpriteFlash(const Drawing& drawing, float whiteness) { glUniform1f(drawing.flashLocation, whiteness); }
