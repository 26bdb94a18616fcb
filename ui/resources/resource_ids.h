// Resource ids shared by the resource script and the program. Plain #defines, because the
// resource compiler's preprocessor understands nothing else.
#ifndef DENSILO_RESOURCE_IDS_H
#define DENSILO_RESOURCE_IDS_H

// The lowest icon id: Explorer shows the first icon group of a program file as its icon.
#define IDI_DENSILO 1

// Raw bytes, decoded or played from memory at run time.
#define IDR_BACKGROUND_JPEG 101
#define IDR_TUNE_MIDI 102
#define IDR_CLICK_WAV 103

#endif
