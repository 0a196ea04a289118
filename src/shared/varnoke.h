#pragma once
// The user's session as the product family's screens see it: the branch, whether it may be
// changed, where the application server is, the edit masks of codes. The host reads the
// session (its file and command line) and installs it here once; screens only read it.

#include <string>

namespace Varnoke {

// Picture types of the family's edit masks; 0 is the product tree code.
enum TPictType { ptProduto = 0 };

struct Session {
  std::string branch = "0001";
  std::string branchName = "Matriz";
  bool branchLocked = false;
  std::string serverHost = "127.0.0.1";
  int serverPort = 2110;
  std::string productMask = "99.99.9999;0;_";
  std::string shortDateFormat = "dd/mm/yyyy";
  int connectTimeoutSeconds = 10;
  int callTimeoutSeconds = 120;
  std::string serverToken;
  bool serverTls = false;  // TLS to the server, its certificate checked against serverCa
  std::string serverCa;    // PEM file of the authority; empty: the system's authorities
  std::string user;        // the session's user name (sent to the server with attach)
  std::string machine;     // the session's machine name
};

// Installs the session. The host calls it before opening any screen and whenever the
// session changes; changes reach a screen at its next activation or connection.
void SetSession(const Session& session);
const Session& CurrentSession();

// The user's current branch code and its name.
std::string FiliProc();
std::string NomeFiliProc();
// True when the user may not choose another branch.
bool ModuFili();
// The application server's host (a host name or address, despite the name) and port.
std::string WebURL();
int WebPort();
// The edit mask of a picture type.
std::string DBPict(TPictType type);

}  // namespace Varnoke
