#include "wordprocessor/SystemAutomation.h"

namespace {

// Stands in when the program was built without any word processor's development files.
class UnavailableAutomation : public AutomationRegistry
{
public:
    std::unique_ptr<AutomationApplication> getActiveObject(const std::u16string &) override
    {
        throw AutomationError("No word processor is available.");
    }
    std::unique_ptr<AutomationApplication> createObject(const std::u16string &) override
    {
        throw AutomationError(
            "No word processor is available: this copy of Parvenex was built without "
            "LibreOffice's development files. The README says how to build it with them.");
    }
    std::u16string wordProcessorName() const override { return u"LibreOffice"; }
};

} // namespace

std::unique_ptr<AutomationRegistry> createSystemAutomation()
{
    return std::make_unique<UnavailableAutomation>();
}
