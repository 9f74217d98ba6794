#include "render/frames.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "base/console.h"
#include "render/image.h"
#include "render/pictures_ahead.h"

GLuint textureOf(const Drawing& drawing, const SpriteFrame& picture) {
  const FrameList* list = nullptr;
  switch (picture.list) {
    case FrameSet::Hero:
      list = &drawing.playerFrames;
      break;
    case FrameSet::HeroPoses:
      list = &drawing.endFrames;
      break;
    case FrameSet::Enemy:
      list = &drawing.enemyFrames;
      break;
    case FrameSet::Enemy2:
      list = &drawing.enemy2Frames;
      break;
    case FrameSet::Heart:
      return picture.index == 0 ? drawing.heartTexture : 0;
    case FrameSet::Blank:
      break;
  }
  if (list == nullptr || picture.index < 0 || picture.index >= static_cast<int>(list->size())) return 0;
  return (*list)[static_cast<size_t>(picture.index)];
}

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
void loadFrame(const char* path, FrameList& list, Drawing& drawing) {
  std::vector<VisibleRows> visible;
  list.push_back(loadGameTexture(path, kMaxSpritePixels, true, &visible));
  setTextureParams(list.back());
  if (list.back() != 0 && !visible.empty()) drawing.visibleRows[list.back()] = std::move(visible);
}

struct SpriteLoad {
  const char* path;
  FrameList* list;
};

template <size_t N>
void addAll(const char* const (&paths)[N], FrameList& list, std::vector<SpriteLoad>& loads) {
  for (const char* path : paths) loads.push_back({path, &list});
}

// Every sprite picture and the list it goes to, in the order they load.
std::vector<SpriteLoad> spriteLoads(Drawing& drawing) {
  std::vector<SpriteLoad> loads;
  addAll(kMenuPictures, drawing.menuFrames, loads);
  addAll(kPlayerPictures, drawing.playerFrames, loads);
  addAll(kEnemyPictures, drawing.enemyFrames, loads);
  addAll(kEnemy2Pictures, drawing.enemy2Frames, loads);
  for (const char* path : kDeathPictures) {
    loads.push_back({path, &drawing.enemyFrames});
    loads.push_back({path, &drawing.enemy2Frames});
  }
  addAll(kEndPictures, drawing.endFrames, loads);
  return loads;
}

}  // namespace

void setTextureParams(GLuint texture) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_R, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glBindTexture(GL_TEXTURE_2D, 0);
}

void sayPictureNotLoaded(const char* path, const std::string& why) {
  consoleLine(kImageNotLoaded);
  // The game's own line names no file: the player also learns which one, and why.
  const char* shown = std::strncmp(path, "./", 2) == 0 ? path + 2 : path;
  std::fprintf(stderr, "nombre: %s: %s\n", quotedPath(shown).c_str(), why.c_str());
}

GLuint loadGameTexture(const char* path, long maxPixels, bool mipmapped, std::vector<VisibleRows>* visible) {
  GamePicture picture = takeGamePicture({path, maxPixels, mipmapped});
  if (!picture.loaded) {
    sayPictureNotLoaded(path, picture.why);
    return 0;
  }
  if (visible != nullptr) *visible = std::move(picture.visible);
  return uploadMipChain(picture.levels);
}

void loadSprites(Drawing& drawing) {
  for (const SpriteLoad& load : spriteLoads(drawing)) loadFrame(load.path, *load.list, drawing);
}

void requestSprites(std::vector<PictureRequest>& requests) {
  Drawing none;  // only the order is wanted
  for (const SpriteLoad& load : spriteLoads(none)) requests.push_back({load.path, kMaxSpritePixels, true});
}

void clearFrameLists(Drawing& drawing) {
  for (FrameList* list : {&drawing.endFrames, &drawing.playerFrames, &drawing.menuFrames, &drawing.enemy2Frames,
                          &drawing.enemyFrames}) {
    for (GLuint texture : *list) drawing.visibleRows.erase(texture);
    glDeleteTextures(static_cast<GLsizei>(list->size()), list->data());
    list->clear();
  }
}
