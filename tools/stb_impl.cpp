// The stb pieces the asset tool uses: PNG writing and font rasterising.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_image_write.h>
#include <stb_truetype.h>
