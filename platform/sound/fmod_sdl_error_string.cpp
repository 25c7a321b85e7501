#include "platform/sound/fmod.h"

const char* FMOD_ErrorString(FMOD_RESULT result) {
    switch (result) {
        case FMOD_OK: return "No errors.";
        case FMOD_ERR_FILE_NOTFOUND: return "File not found.";
        case FMOD_ERR_FILE_BAD: return "Error loading file: it is not an mp3 stream that can be decoded.";
        case FMOD_ERR_FORMAT: return "Unsupported file or audio format.";
        case FMOD_ERR_INVALID_PARAM: return "An invalid parameter was passed to this function.";
        case FMOD_ERR_INVALID_HANDLE: return "An invalid object handle was used.";
        case FMOD_ERR_INITIALIZED: return "Cannot call this command after System::init.";
        case FMOD_ERR_UNINITIALIZED: return "This command failed because System::init was not called or did not succeed.";
        case FMOD_ERR_OUTPUT_INIT: return "Error initializing output device.";
        case FMOD_ERR_CHANNEL_ALLOC: return "Error trying to allocate a channel.";
        case FMOD_ERR_MEMORY: return "Not enough memory or resources.";
        case FMOD_ERR_INTERNAL: return "An error occurred inside the decoder library.";
        default: return "Unknown error.";
    }
}
