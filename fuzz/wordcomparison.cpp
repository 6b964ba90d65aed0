#include "compare/WordComparison.h"
#include "ComparisonInput.h"

// Both passes of the word comparison against the word reference.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ComparisonInput input(data, size, 2);
    for (const int examined : {0, 1}) {
        const int other = 1 - examined;
        require(decodedResult(compareWords(input.bytes[examined], input.bytes[other]),
                              input.bytes[examined], input.raw) ==
                    referencePass(input.texts[examined], input.texts[other]),
                "the unmatched words", input.describe());
    }
    return 0;
}
