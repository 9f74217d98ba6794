#include "render/frames.h"

#include "base/console.h"
#include "render/image.h"

FrameList endFrames;
FrameList playerFrames;
FrameList menuFrames;
FrameList enemy2Frames;
FrameList enemyFrames;

const char* const kImageNotLoaded = "Imagen no cargada";

namespace {

const char* const kMenuPictures[] = {"./img/salir.png", "./img/continuar.png"};
const char* const kPlayerPictures[] = {
    "./img/veldrane-arc12.png", "./img/movFrame1.png", "./img/movFrame2.png", "./img/movFrame3.png",
    "./img/movFrame4.png",      "./img/movPunch1.png", "./img/movPunch2.png", "./img/movKick1.png",
    "./img/movKick2.png",       "./img/flyKick.png",   "./img/crouch.png",    "./img/crouchKick.png",
};
const char* const kEnemyPictures[] = {
    "./img/tovanNPC.png",    "./img/movFrame1NPC.png", "./img/movFrame2NPC.png", "./img/movFrame3NPC.png",
    "./img/movFrame4NPC.png", "./img/movPunch1NPC.png", "./img/movPunch2NPC.png",
};
const char* const kEnemy2Pictures[] = {
    "./img/tovanNPC2.png",    "./img/movFrame1NPC2.png", "./img/movFrame2NPC2.png", "./img/movFrame3NPC2.png",
    "./img/movFrame4NPC2.png", "./img/movPunch1NPC2.png", "./img/movPunch2NPC2.png",
};
const char* const kDeathPictures[] = {"./img/frameDeath1.png", "./img/frameDeath2.png", "./img/frameDeath3.png"};
const char* const kEndPictures[] = {"./img/finFrame1.png", "./img/finFrame3.png", "./img/finFrame4.png",
                                    "./img/finFrame5.png"};

// Appends the picture's texture, or 0 in its place when it did not load.
void loadFrame(const char* path, FrameList& list) {
  list.push_back(loadGameTexture(path, kMaxSpritePixels));
  if (list.back() == 0) consoleLine(kImageNotLoaded);
  setTextureParams(list.back());
}

template <size_t N>
void loadAll(const char* const (&paths)[N], FrameList& list) {
  for (const char* path : paths) loadFrame(path, list);
}

}  // namespace

void setTextureParams(GLuint texture) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_R, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glGenerateMipmap(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
}

GLuint loadGameTexture(const char* path, long maxPixels) {
  return loadImageTexture(path, 0, 0, kImageNtscSafe, maxPixels);
}

void loadSprites() {
  loadAll(kMenuPictures, menuFrames);
  loadAll(kPlayerPictures, playerFrames);
  loadAll(kEnemyPictures, enemyFrames);
  loadAll(kEnemy2Pictures, enemy2Frames);
  for (const char* path : kDeathPictures) {
    loadFrame(path, enemyFrames);
    loadFrame(path, enemy2Frames);
  }
  loadAll(kEndPictures, endFrames);
}

void clearFrameLists() {
  for (FrameList* list : {&endFrames, &playerFrames, &menuFrames, &enemy2Frames, &enemyFrames}) {
    glDeleteTextures(static_cast<GLsizei>(list->size()), list->data());
    list->clear();
  }
}
