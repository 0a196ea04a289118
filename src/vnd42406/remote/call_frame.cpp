#include "vnd42406/remote/call_frame.h"

#include "data/client_data_set.h"
#include "remote/socket_connection.h"
#include "shared/consiste.h"
#include "shared/showavi.h"
#include "toolkit/application.h"

namespace vnd42406 {

void CallFrame(remote::TSocketConnection& connection, const RemoteMethod& method,
               const ArgumentGatherer& gather, data::TClientDataSet* target) {
  // Showing and hiding the animation are inside the protected block too: whichever step
  // fails, the hide is tried and the failure goes on unchanged.
  try {
    Showavi::ActiveShowAvi(tk::Application().MainForm(), Showavi::aviServidor);
    const std::vector<rtl::Variant> args = gather();
    CheckArguments(method, args);
    remote::IAppServer& server = connection.AppServer();
    const rtl::Variant answer = server.Invoke(std::string(method.name), args);
    const rtl::Variant packet = Consiste::CheckResultServ(answer, true, 0);
    if (target != nullptr) target->SetData(packet);
    Showavi::DeactiveShowAvi();
  } catch (...) {
    Showavi::DeactiveShowAvi();
    throw;
  }
}

}  // namespace vnd42406
