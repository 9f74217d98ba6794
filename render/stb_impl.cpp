// PNG decoding for the game, and PNG writing for screenshots in tests.
#include <cstddef>
#include <cstdlib>

namespace {

// No picture of the game needs more than this in one piece; a forged chunk
// length or a compressed bomb must not make the decoder ask for gigabytes.
constexpr std::size_t kMaxDecodeAllocation = std::size_t{256} << 20;

void* boundedMalloc(std::size_t size) { return size > kMaxDecodeAllocation ? nullptr : std::malloc(size); }

void* boundedRealloc(void* pointer, std::size_t size) {
  return size > kMaxDecodeAllocation ? nullptr : std::realloc(pointer, size);
}

}  // namespace

#define STBI_MALLOC(size) boundedMalloc(size)
#define STBI_REALLOC(pointer, size) boundedRealloc(pointer, size)
#define STBI_FREE(pointer) std::free(pointer)
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>
