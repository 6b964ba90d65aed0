#include "wordprocessor/libreoffice/OfficeConnection.h"

#include "wordprocessor/Automation.h"
#include "wordprocessor/libreoffice/OfficePipe.h"

#include <QUrl>

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

using namespace Qt::StringLiterals;

namespace Office {

using namespace css;
using css::uno::Reference;

rtl::OUString toUno(const QString &text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()),
                         sal_Int32(text.size()));
}

QString fromUno(const rtl::OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}

rtl::OUString fileUrl(const QString &path)
{
    return toUno(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

beans::PropertyValue property(const char *name, const uno::Any &value)
{
    beans::PropertyValue result;
    result.Name = rtl::OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

uno::Sequence<beans::PropertyValue> properties(const std::vector<beans::PropertyValue> &values)
{
    return uno::Sequence<beans::PropertyValue>(values.data(), sal_Int32(values.size()));
}

QString describe(const uno::Exception &error)
{
    return fromUno(error.Message);
}

Reference<uno::XComponentContext> localContext(const QString &programFolder)
{
    // Made once and kept for the life of the process: the UNO runtime does not support being
    // shut down and started again.
    static const Reference<uno::XComponentContext> context = [&programFolder] {
        try {
            rtl::Bootstrap::set("URE_BOOTSTRAP", toUno(u"vnd.sun.star.pathname:"_s + programFolder +
                                                       u"/fundamentalrc"_s));
            return cppu::defaultBootstrap_InitialComponentContext();
        } catch (const uno::Exception &error) {
            throw AutomationError(
                QString(u"LibreOffice's UNO runtime could not be set up: "_s + describe(error))
                    .toStdString());
        }
    }();
    return context;
}

Reference<uno::XComponentContext> connect(const QString &programFolder, const QString &pipeName,
                                          uid_t owner)
{
    const QString socketPath = pipeSocketPath(pipeName, owner);
    const std::optional<PipeFile> pipe = ownPipeListening(socketPath, owner);
    if (!pipe)
        return {};
    const Reference<uno::XComponentContext> local = localContext(programFolder);
    Reference<uno::XComponentContext> office;
    try {
        const Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
        office.set(resolver->resolve(toUno(u"uno:pipe,name="_s + pipeName +
                                           u";urp;StarOffice.ComponentContext"_s)),
                   uno::UNO_QUERY);
    } catch (const uno::Exception &) {
        return {};
    }
    if (office.is() && !stillSamePipe(socketPath, *pipe))
        return {};
    return office;
}

} // namespace Office
