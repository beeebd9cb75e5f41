// The plain header image and name block of a container, as the program's key and a password
// give them: every field parsed and checked as a reader would.

#include "engine/ContainerFormat.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTarget.h"

KURA_FUZZ_TARGET(ContainerHeader)
{
    const QByteArray bytes = Fuzz::Bytes(data, size);
    QByteArray image = bytes.left(ContainerFormat::HeaderSize);
    image.append(QByteArray(ContainerFormat::HeaderSize - image.size(), '\0'));
    ContainerFormat::Header header;
    if (ContainerFormat::ParseHeaderImage(image, &header)) {
        ContainerFormat::CompareFormatVersion(header.version);
        ContainerFormat::IsValidNameBlockLength(header.nameBlockLength);
        qint64 encrypted = 0;
        qint64 modified = 0;
        if (ContainerFormat::ParseTimesPlain(header.times, &encrypted, &modified)) {
            ContainerFormat::EncryptionTimeFromValue(encrypted);
            ContainerFormat::IsValidModificationTime(modified);
        }
        // What is parsed builds the same image again, field for field.
        ContainerFormat::BuildHeaderImage(header);
    }
    QString name;
    ContainerFormat::ParseNameBlock(bytes.mid(ContainerFormat::HeaderSize), &name);
    ContainerFormat::IsContainerFileName(name);
    return 0;
}
