#pragma once
// The conventional texts of the Windows Sockets error numbers.
#include <string>

namespace vt {

// "No Error" for 0, "Not a WinSock error" for a number outside the table.
std::string SocketErrorText(int error);
// description + " (Winsock error #" + number + ")".
std::string SocketErrorDetail(int error);

}  // namespace vt
