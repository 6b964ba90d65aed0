#include "platform/SystemWordAutomation.h"

namespace {

// Stands in when the program was built without any word processor's development files.
class UnavailableWordAutomation : public AutomationRegistry
{
public:
    std::unique_ptr<WordApplication> getActiveObject(const std::u16string &) override
    {
        throw AutomationError("No word processor is available.");
    }
    std::unique_ptr<WordApplication> createObject(const std::u16string &) override
    {
        throw AutomationError(
            "No word processor is available: this copy of Parvenex was built without "
            "LibreOffice's development files. The README says how to build it with them.");
    }
    std::u16string wordProcessorName() const override { return u"LibreOffice"; }
};

} // namespace

std::unique_ptr<AutomationRegistry> createSystemWordAutomation()
{
    return std::make_unique<UnavailableWordAutomation>();
}
