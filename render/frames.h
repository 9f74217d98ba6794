#pragma once
// The sprite frame lists: one texture per picture, in a fixed order that the
// animation code indexes. A picture that did not load keeps its place as 0.

#include <GL/glew.h>

#include <string>
#include <vector>

#include "entities/element.h"
#include "render/drawing.h"
#include "render/image.h"
#include "render/pictures_ahead.h"

// The texture of a picture; 0 when its list has no such entry.
GLuint textureOf(const Drawing& drawing, const SpriteFrame& picture);

// Largest sprite picture, in pixels. The biggest the game draws is a full
// 800x600 menu screen; each of the 38 sprite textures may take this much, so
// a damaged or swapped picture folder stays within a few hundred megabytes.
constexpr long kMaxSpritePixels = 1024L * 1024L;

// Loads every sprite picture into its list, saying so (see
// sayPictureNotLoaded) for each one missing, unreadable or larger than
// kMaxSpritePixels.
void loadSprites(Drawing& drawing);
// The order loadSprites loads the sprite pictures in, appended to `requests`
// (for preparing them ahead).
void requestSprites(std::vector<PictureRequest>& requests);
// The parameters every game texture gets: repeat in s, linear filtering
// between the mip levels.
void setTextureParams(GLuint texture);
// Loads one full picture as the game does (also used for the stage and the
// HUD): TV-safe colours, every mip level made on the CPU unless `mipmapped`
// is false, in immutable storage. Takes the picture prepared ahead when it is
// the next one. Returns 0 when it did not load, having said so; `visible`,
// when given, gets where each level can show.
GLuint loadGameTexture(const char* path, long maxPixels = kMaxImagePixels, bool mipmapped = true,
                       std::vector<VisibleRows>* visible = nullptr);
// A picture did not load: "Imagen no cargada" on standard output, and on
// standard error the file and what is wrong with it.
void sayPictureNotLoaded(const char* path, const std::string& why);
// Deletes the textures of every list and empties them.
void clearFrameLists(Drawing& drawing);

// menuFrames entries.
constexpr int kMenuExitFrame = 0;
constexpr int kMenuContinueFrame = 1;

extern const char* const kImageNotLoaded;
