#pragma once

// The part of a word processor's automation object model that the word-processor method drives: an
// application with its documents collection, a document that can merge another file into a new
// document and be closed, and the registry that finds a running application or starts a new one.
//
// Kept free of Qt on purpose: the Windows implementation includes it and is compiled by a cross
// compiler that has no Qt headers.

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

// One argument of an automation call exactly as the caller passes it, so that an implementation
// can hand it on unchanged and a test can check it.
struct AutomationArgument
{
    enum class Kind { Missing, String, StringByReference, Int32, Boolean };

    Kind kind = Kind::Missing;
    std::u16string text;
    std::int32_t number = 0;
    bool flag = false;

    // An omitted optional argument: the callee uses its own default.
    static AutomationArgument missing() { return {}; }
    static AutomationArgument string(std::u16string value)
    {
        return {Kind::String, std::move(value), 0, false};
    }
    static AutomationArgument stringByReference(std::u16string value)
    {
        return {Kind::StringByReference, std::move(value), 0, false};
    }
    static AutomationArgument int32(std::int32_t value) { return {Kind::Int32, {}, value, false}; }
    static AutomationArgument boolean(bool value) { return {Kind::Boolean, {}, 0, value}; }

    friend bool operator==(const AutomationArgument &, const AutomationArgument &) = default;
};

// A failed automation call. what() is UTF-8 and says why, in words a user can act on.
class AutomationError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Every member may throw AutomationError. Destroying an object releases the reference to it; the
// word processor itself keeps running.
class AutomationDocument
{
public:
    virtual ~AutomationDocument() = default;

    // FileName, MergeTarget, DetectFormatChanges, UseFormattingFrom, AddToRecentFiles.
    virtual void merge(const std::array<AutomationArgument, 5> &arguments) = 0;
    // SaveChanges, OriginalFormat, RouteDocument.
    virtual void close(const std::array<AutomationArgument, 3> &arguments) = 0;
};

class AutomationDocuments
{
public:
    virtual ~AutomationDocuments() = default;

    // FileName followed by the fifteen optional arguments of the word processor's Open.
    virtual std::unique_ptr<AutomationDocument>
    open(const std::array<AutomationArgument, 16> &arguments) = 0;
};

class AutomationApplication
{
public:
    virtual ~AutomationApplication() = default;

    virtual std::unique_ptr<AutomationDocuments> documents() = 0;
    virtual std::int32_t displayAlerts() = 0;
    virtual void setDisplayAlerts(std::int32_t level) = 0;
    virtual bool visible() = 0;
    virtual void setVisible(bool visible) = 0;
    // The application's default member.
    virtual std::u16string name() = 0;
    // SaveChanges, OriginalFormat, RouteDocument: ends the application. The word-processor
    // method ends only an application that it created and has not shown.
    virtual void quit(const std::array<AutomationArgument, 3> &arguments) = 0;
};

class AutomationRegistry
{
public:
    virtual ~AutomationRegistry() = default;

    // The instance registered as active for the class; throws when none is.
    virtual std::unique_ptr<AutomationApplication>
    getActiveObject(const std::u16string &className) = 0;
    // A new object of the class on this machine.
    virtual std::unique_ptr<AutomationApplication>
    createObject(const std::u16string &className) = 0;
    // The name that the genuine word processor's application reports as its default member.
    virtual std::u16string wordProcessorName() const = 0;
};

// The word processor's constants that the word-processor method passes.
namespace AutomationConstants {
inline constexpr std::int32_t wdAlertsNone = 0;
inline constexpr std::int32_t wdAlertsAll = -1;
inline constexpr std::int32_t wdDoNotSaveChanges = 0;
inline constexpr std::int32_t wdMergeTargetNew = 2;
inline constexpr std::int32_t wdFormattingFromPrompt = 2;
} // namespace AutomationConstants
