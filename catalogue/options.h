// The install options record and the component model.
//
// Eighteen components, each one bit of a 32-bit mask: bit 0x1 is the base
// (always installed, no check box), 0x2 to 0x80 the seven main components
// (check boxes 10 to 16), 0x100 to 0x20000 the ten optional ones (check
// boxes 30 to 39), switched as a group by check box 17.  Bit 0x10 is the
// guide.  Portable: no windows.h.
#ifndef TOVARIN_CATALOGUE_OPTIONS_H
#define TOVARIN_CATALOGUE_OPTIONS_H

#include <stdint.h>

#include "base/text.h"

enum {
    kComponentCount     = 18,
    kBaseComponent      = 0x1,
    kGuideComponent     = 0x10,
    kMainComponents     = 0xFE,      // 0x2 .. 0x80
    kOptionalComponents = 0x3FF00,   // 0x100 .. 0x20000
    kInitialSelection   = 0xFFFFF,   // the low twenty bits
};

struct InstallOptions {
    char     destDir[kPathBytes];
    uint32_t componentBytes[kComponentCount];
    uint32_t requiredBytes;
    uint32_t fileCount;
    uint32_t selectedMask;
    void*    foundList;         // handle of the found-installations list
    uint32_t optionalGroupOn;
    uint32_t keepSettings;
};

// 1 to 17 for the single bits 0x2 to 0x20000; 0 for anything else.
int ComponentIndex(uint32_t mask);

// Check box of a component bit; -1 for 0x1 and anything not a single bit.
int ComponentControlId(uint32_t bit);

// Component bit of check boxes 10 to 16 and 30 to 39; 0xFFFFFFFF otherwise.
uint32_t ControlComponentBit(int controlId);

// Flips bit in *mask.
void ToggleComponent(uint32_t* mask, uint32_t bit);

// After ToggleComponent on options->selectedMask: adds or subtracts the
// component's total so that requiredBytes follows the selection.
void ApplyComponentToggle(InstallOptions* options, uint32_t bit);

// Sum of the totals of the optional components set in selectedMask,
// whatever optionalGroupOn says.
uint32_t OptionalSelectedBytes(const InstallOptions* options);

// Flips optionalGroupOn and adds or subtracts OptionalSelectedBytes.
void SwitchOptionalGroup(InstallOptions* options);

// selectedMask, without the optional bits while the group is off.
uint32_t EffectiveComponentMask(const InstallOptions* options);

// Byte figures that stop at 0 and at 0xFFFFFFFF instead of wrapping.
uint32_t AddBytes(uint32_t a, uint32_t b);
uint32_t SubtractBytes(uint32_t a, uint32_t b);

// Bytes shown as KB, rounded to nearest: (bytes + 512) >> 10, in 32 bits.
uint32_t BytesToKB(uint32_t bytes);

#endif
