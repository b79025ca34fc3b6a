#include "core/error.h"

#include "core/texts.h"
#include "core/unicode.h"
#include "platform/failure.h"

#include <algorithm>
#include <iterator>

namespace core {

namespace {

struct CatalogueEntry
{
    Error::Number number;
    std::u16string_view description;
};

// Each number the program raises, once, with its description; sorted by
// number.
constexpr CatalogueEntry Catalogue[] = {
    {Error::InvalidProcedureCall, u"Llamada a procedimiento o argumento no válidos"},
    {Error::Overflow, u"Desbordamiento"},
    {Error::OutOfMemory, u"Memoria insuficiente"},
    {Error::SubscriptOutOfRange, u"El subíndice está fuera del intervalo"},
    {Error::TypeMismatch, u"No coinciden los tipos"},
    {Error::FileNotFound, u"No se ha encontrado el archivo"},
    {Error::FileAlreadyOpen, u"El archivo ya está abierto"},
    {Error::DeviceIOError, u"Error de E/S en el dispositivo"},
    {Error::InputPastEndOfFile, u"La entrada pasa del final del archivo"},
    {Error::PermissionDenied, u"Permiso denegado"},
    {Error::PathFileAccessError, u"Error de acceso a la ruta o el archivo"},
    {Error::InvalidPropertyValue, u"El puerto remoto %1 no es válido: debe estar entre 1 y 65535"},
    {Error::AccessDenied, u"Permiso denegado para enviar a esa dirección"},
    {Error::MessageTooBig, u"La respuesta es demasiado larga para un datagrama"},
    {Error::AddressNotAvailable, u"La dirección remota no está disponible"},
    {Error::NetworkDown, u"No se ha podido enviar el datagrama (error del sistema %1)"},
    {Error::NetworkUnreachable, u"No se puede llegar a la red del host remoto"},
    {Error::NoBufferSpace, u"No queda espacio en el búfer del sistema"},
    {Error::HostUnreachable, u"No se puede llegar al host remoto"},
    {Error::HostNotFound, u"No se encuentra el host «%1»"},
    {Error::HostNotFoundTryAgain, u"No se ha podido resolver el host «%1» en este momento"},
};

static_assert(std::is_sorted(std::begin(Catalogue), std::end(Catalogue),
                             [](const CatalogueEntry &a, const CatalogueEntry &b) { return a.number < b.number; }));

constexpr std::u16string_view ApplicationDefined = u"Error definido por la aplicación o por el objeto";

} // namespace

std::u16string_view describe(std::int32_t number)
{
    const auto entry = std::lower_bound(std::begin(Catalogue), std::end(Catalogue), number,
                                        [](const CatalogueEntry &entry, std::int32_t n) { return entry.number < n; });
    if (entry == std::end(Catalogue) || entry->number != number)
        return ApplicationDefined;
    return entry->description;
}

Error::Error(std::int32_t number, std::u16string description, std::u16string source)
    : m_number(number)
    , m_description(std::move(description))
    , m_source(std::move(source))
    , m_what(unicode::toUtf8(unicode::decimal(number) + u": " + m_description + u" (" + m_source + u")"))
{
}

Error Error::fromNumber(std::int32_t number, std::u16string source)
{
    if (source.empty())
        source = texts::ProgramSource;
    return Error(number, std::u16string(describe(number)), std::move(source));
}

Error errorOf(const platform::SystemFailure &failure)
{
    using platform::FailureKind;
    switch (failure.kind()) {
    case FailureKind::AccessDenied:
        return Error::fromNumber(Error::PermissionDenied);
    case FailureKind::OutOfMemory:
        return Error::fromNumber(Error::OutOfMemory);
    case FailureKind::NotFound:
        return Error::fromNumber(Error::FileNotFound);
    case FailureKind::DeviceError:
        return Error::fromNumber(Error::DeviceIOError);
    case FailureKind::ClaimedElsewhere:
        return Error::fromNumber(Error::FileAlreadyOpen);
    case FailureKind::UnknownEncoding:
        return Error::fromNumber(Error::InvalidProcedureCall);
    default:
        return Error::fromNumber(Error::PathFileAccessError);
    }
}

} // namespace core
