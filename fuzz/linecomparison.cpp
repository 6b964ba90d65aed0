#include "compare/LineComparison.h"
#include "ComparisonInput.h"

// The line comparison in both directions, and the colouring of an edited text from its listing,
// against the line reference.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ComparisonInput input(data, size, 3);
    for (const int source : {0, 1}) {
        const int other = 1 - source;
        YieldTicker ticker;
        const std::optional<ComparisonResult> lines =
            findMissingLines(input.bytes[source], input.bytes[other], ticker);
        require(lines.has_value(), "a comparison without a callback runs to its end");
        require(decodedResult(*lines, input.bytes[source], input.raw) ==
                    referenceLinesOf(input.texts[source], input.texts[other], false),
                "the missing lines", input.describe());

        // The source as edited since, coloured where the listed lines stand now.
        const QByteArray &edited = input.bytes[2];
        require(
            decodedRanges(rangesOfListedLines(edited, lines->listing), edited, input.raw) ==
                referenceListedRanges(input.texts[2], decodedListing(lines->listing, input.raw)),
            "the listed lines of an edited text", input.describe());
    }
    return 0;
}
