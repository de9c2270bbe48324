// The component model: bits, indices, check boxes and the byte totals.
#include "catalogue/options.h"

namespace {

// Check boxes of the components, by index 1 to 17 (index 0, the base, has none).
const int kControlOfIndex[kComponentCount] = {
    -1, 10, 11, 12, 13, 14, 15, 16,
    30, 31, 32, 33, 34, 35, 36, 37, 38, 39,
};

bool IsSingleBit(uint32_t mask) { return mask != 0 && (mask & (mask - 1)) == 0; }

}  // namespace

int ComponentIndex(uint32_t mask)
{
    if (!IsSingleBit(mask) || mask > 0x20000u)
        return 0;
    int index = 0;
    while (mask > 1u) {
        mask >>= 1;
        ++index;
    }
    return index;
}

int ComponentControlId(uint32_t bit)
{
    if (!IsSingleBit(bit) || bit > 0x20000u)
        return -1;
    return kControlOfIndex[ComponentIndex(bit)];
}

uint32_t ControlComponentBit(int controlId)
{
    for (int index = 1; index < kComponentCount; ++index) {
        if (kControlOfIndex[index] == controlId)
            return 1u << index;
    }
    return 0xFFFFFFFFu;
}

void ToggleComponent(uint32_t* mask, uint32_t bit)
{
    if (*mask & bit)
        *mask &= ~bit;
    else
        *mask |= bit;
}

void ApplyComponentToggle(InstallOptions* options, uint32_t bit)
{
    uint32_t total = options->componentBytes[ComponentIndex(bit)];
    if (options->selectedMask & bit)
        options->requiredBytes = AddBytes(options->requiredBytes, total);
    else
        options->requiredBytes = SubtractBytes(options->requiredBytes, total);
}

uint32_t OptionalSelectedBytes(const InstallOptions* options)
{
    uint32_t sum = 0;
    for (uint32_t bit = 0x100; bit <= 0x20000u; bit <<= 1) {
        if (options->selectedMask & bit)
            sum = AddBytes(sum, options->componentBytes[ComponentIndex(bit)]);
    }
    return sum;
}

void SwitchOptionalGroup(InstallOptions* options)
{
    options->optionalGroupOn = options->optionalGroupOn ? 0 : 1;
    uint32_t optional = OptionalSelectedBytes(options);
    if (options->optionalGroupOn)
        options->requiredBytes = AddBytes(options->requiredBytes, optional);
    else
        options->requiredBytes = SubtractBytes(options->requiredBytes, optional);
}

uint32_t EffectiveComponentMask(const InstallOptions* options)
{
    if (options->optionalGroupOn)
        return options->selectedMask;
    return options->selectedMask & ~static_cast<uint32_t>(kOptionalComponents);
}

uint32_t AddBytes(uint32_t a, uint32_t b)
{
    return a > 0xFFFFFFFFu - b ? 0xFFFFFFFFu : a + b;
}

uint32_t SubtractBytes(uint32_t a, uint32_t b)
{
    return a < b ? 0 : a - b;
}

uint32_t BytesToKB(uint32_t bytes)
{
    // Formed in 64 bits: in 32 bits a size within 512 bytes of 4 GB would wrap
    // round to 0 KB and pass every free-space test.
    return static_cast<uint32_t>((static_cast<uint64_t>(bytes) + 512u) >> 10);
}
