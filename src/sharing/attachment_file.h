#pragma once
// The attachment files of the hand-offs: new JPEG files in the images folder that never
// replace a file.
#include <functional>
#include <optional>
#include <string>

namespace modAttachments {

// Writes the attachment `name` as a new file folder + name (+ number) + ".jpg", numbered
// after the files of the folder whose names begin with the name, as the file system
// compares names. When another file takes the name meanwhile, the next number is taken.
// write(temp) writes the file's content to a temporary path; it appears whole under its name
// or not at all. Returns the path written, or nothing (GetLastError() says why; a name that
// would be a device, such as COM1, gives ERROR_INVALID_NAME).
std::optional<std::wstring> WriteNewAttachment(const std::wstring& folder, const std::wstring& name,
                                               const std::function<bool(const std::wstring& temp)>& write);

}  // namespace modAttachments
