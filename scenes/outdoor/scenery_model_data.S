/* Embeds the outdoor scenery model's vertex arrays, written by tools/scenery_model
   into the generated directory (on the assembler's include path), as read-only data. */
#include "embed_binary.inc"

        embed_binary sceneryPositions, "scenery_positions.bin"
        embed_binary sceneryTexCoords, "scenery_texcoords.bin"
