/* Embeds the indoor model's vertex arrays, written by tools/indoor_model into the
   generated directory (on the assembler's include path), as read-only data. */
#include "embed_binary.inc"

        embed_binary modelPositions, "indoor_model_positions.bin"
        embed_binary modelNormals, "indoor_model_normals.bin"
        embed_binary modelTangents, "indoor_model_tangents.bin"
        embed_binary modelTexCoords, "indoor_model_texcoords.bin"
