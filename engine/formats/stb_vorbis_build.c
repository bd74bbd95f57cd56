/* The one translation unit that compiles the single-header Vorbis decoder (libstb-dev);
   everyone else includes it with STB_VORBIS_HEADER_ONLY. Files are handed to it in memory. */
#define STB_VORBIS_NO_STDIO
#include <stb_vorbis.h>
