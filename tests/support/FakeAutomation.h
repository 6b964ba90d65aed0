#pragma once

#include "wordprocessor/Automation.h"

#include <QStringList>
#include <functional>
#include <vector>

// A word processor that logs every call, with its arguments exactly as passed, and every release
// of an object; a scripted call fails instead. Entries read like `Merge("/tmp/x/2.txt", int32 2,
// true, int32 2, false)`: a string by reference is written &"...", an omitted argument `missing`.
class FakeAutomation : public AutomationRegistry
{
public:
    QString runningName; // of the instance registered as active; none when empty
    QString failingCall; // every call whose entry starts so fails, e.g. "Merge"
    // Runs at every call before it is carried out, e.g. to look at files or the pointer.
    std::function<void(const QString &call)> onCall;
    QStringList log;

    template <typename List = std::vector<AutomationArgument>>
    FakeAutomation &call(const char *member, const List &arguments = {})
    {
        // How each AutomationArgument::Kind is written, and with what, in the enum's order.
        static const char *const forms[] = {"missing%1", "\"%1\"", "&\"%1\"", "int32 %1", "%1"};
        QStringList parts;
        for (const AutomationArgument &a : arguments) {
            const QString text = QString::fromStdU16String(a.text);
            const QString flag = QLatin1String(a.flag ? "true" : "false");
            const QString values[] = {{}, text, text, QString::number(a.number), flag};
            parts << QLatin1String(forms[int(a.kind)]).arg(values[int(a.kind)]);
        }
        log.append(QLatin1String(member) + u'(' + parts.join(QLatin1String(", ")) + u')');
        if (onCall)
            onCall(log.last());
        if (!failingCall.isEmpty() && log.last().startsWith(failingCall))
            throw AutomationError("scripted failure of " + failingCall.toStdString());
        return *this;
    }

    std::unique_ptr<AutomationApplication> getActiveObject(const std::u16string &c) override
    {
        if (call("getActiveObject", {AutomationArgument::string(c)}).runningName.isEmpty())
            throw AutomationError("no instance registered");
        return std::make_unique<Object>(*this, "Application");
    }
    std::unique_ptr<AutomationApplication> createObject(const std::u16string &c) override
    {
        return std::make_unique<Object>(call("createObject", {AutomationArgument::string(c)}),
                                        "Application");
    }
    std::u16string wordProcessorName() const override { return u"Microsoft Word"; }

private:
    // Application, documents collection or document, whichever the caller asked for.
    class Object : public AutomationApplication,
                   public AutomationDocuments,
                   public AutomationDocument
    {
        using Arg = AutomationArgument;

    public:
        Object(FakeAutomation &fake, const char *kind) : fake_(fake), kind_(QLatin1String(kind)) {}
        ~Object() override { fake_.log.append(QLatin1String("release ") + kind_); }

        std::unique_ptr<AutomationDocuments> documents() override
        {
            return std::make_unique<Object>(fake_.call("documents"), "Documents");
        }
        // Neither all nor none, so that putting the old level back is told apart from a constant.
        std::int32_t displayAlerts() override
        {
            fake_.call("displayAlerts");
            return -2;
        }
        void setDisplayAlerts(std::int32_t level) override
        {
            fake_.call("setDisplayAlerts", {Arg::int32(level)});
        }
        // The instance handed out is the running one when there is one, which the user sees.
        bool visible() override { return !fake_.call("visible").runningName.isEmpty(); }
        void setVisible(bool visible) override
        {
            fake_.call("setVisible", {Arg::boolean(visible)});
        }
        std::u16string name() override { return fake_.call("name").runningName.toStdU16String(); }
        std::unique_ptr<AutomationDocument> open(const std::array<Arg, 16> &arguments) override
        {
            return std::make_unique<Object>(fake_.call("Open", arguments), "Document");
        }
        void merge(const std::array<Arg, 5> &arguments) override { fake_.call("Merge", arguments); }
        void close(const std::array<Arg, 3> &arguments) override { fake_.call("Close", arguments); }
        void quit(const std::array<Arg, 3> &arguments) override { fake_.call("Quit", arguments); }

    private:
        FakeAutomation &fake_;
        QString kind_;
    };
};
