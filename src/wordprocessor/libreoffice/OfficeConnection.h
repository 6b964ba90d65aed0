#pragma once

// Plumbing for talking to a LibreOffice process through UNO: this process's own UNO context,
// connecting to an office that accepts on a named pipe, and conversions between Qt's and UNO's
// strings.

#include <QString>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

#include <vector>

#include <unistd.h>

namespace Office {

namespace css = com::sun::star;

rtl::OUString toUno(const QString &text);
QString fromUno(const rtl::OUString &text);
// The file URL that the office understands for a local path.
rtl::OUString fileUrl(const QString &path);

css::beans::PropertyValue property(const char *name, const css::uno::Any &value);
css::uno::Sequence<css::beans::PropertyValue>
properties(const std::vector<css::beans::PropertyValue> &values);

// This process's UNO context, bootstrapped from the office's installation in programFolder on
// first use. Throws AutomationError when that fails.
css::uno::Reference<css::uno::XComponentContext> localContext(const QString &programFolder);

// The component context of the office of owner's that accepts connections on the pipe, or an
// empty reference when none can be reached. Throws AutomationError, saying so, when the pipe is
// another user's: nothing is then sent over it.
css::uno::Reference<css::uno::XComponentContext>
connect(const QString &programFolder, const QString &pipeName, uid_t owner = ::getuid());

// Why a UNO call failed, for a message to the user.
QString describe(const css::uno::Exception &error);

} // namespace Office
