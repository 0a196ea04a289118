// What a person reads for a failure: the runtime's texts come in Portuguese, and a connection
// failure worded with a system's English cause is told in Portuguese too.

#include <gtest/gtest.h>

#include "rtl/exceptions.h"
#include "rtl/failure_text.h"
#include "rtl/runtime_texts.h"

namespace {

TEST(FailureTextTest, ConnectionFailuresAreToldInTheClerksLanguage) {
  EXPECT_EQ(rtl::FailureText(rtl::ERemoteError(
                "A conexão com o servidor de aplicação foi perdida (SetUpdItemPrecoAlt): "
                "Connection reset by peer")),
            "A conexão com o servidor de aplicação foi perdida. Tente de novo; se o problema "
            "continuar, avise o suporte.\n"
            "(Para o suporte: SetUpdItemPrecoAlt, a conexão foi interrompida pelo servidor.)");
  // Another failure keeps its words; only the system's cause at its end is translated.
  EXPECT_EQ(rtl::FailureText(rtl::ERemoteError(
                "Não foi possível conectar ao servidor de aplicação 127.0.0.1:2110: "
                "Connection refused")),
            "Não foi possível conectar ao servidor de aplicação 127.0.0.1:2110: o servidor "
            "recusou a conexão");
  // A cause the catalogue does not know, a server's own reply and other failures stay as
  // they are.
  EXPECT_EQ(rtl::FailureText(rtl::ERemoteError("Falha: Some new cause")), "Falha: Some new cause");
  EXPECT_EQ(rtl::FailureText(rtl::ERemoteError("acesso negado: End of file", 401)),
            "acesso negado: End of file");
  EXPECT_EQ(rtl::FailureText(rtl::EConvertError("x: End of file")), "x: End of file");
}

TEST(FailureTextTest, RuntimeTextsTakeTheirArgumentsInOrder) {
  EXPECT_EQ(rtl::RuntimeMessage(rtl::RuntimeText::RowOutOfRange, {"7", "3"}),
            "A linha 7 está fora do conjunto de dados (3 linhas)");
  EXPECT_EQ(rtl::RuntimeMessage(rtl::RuntimeText::FieldAccess, {"NMFILIAL"}),
            "Não é possível ler o campo 'NMFILIAL' como ");  // a missing argument is nothing
  EXPECT_EQ(rtl::RuntimeMessage(rtl::RuntimeText::InvalidInputValue),
            "Valor inválido. Use a tecla Esc para abandonar as alterações");
  EXPECT_EQ(rtl::EAbort().message(), "Operação cancelada");
}

}  // namespace
