#include "link/LinkProblems.h"

#include <cerrno>

#include "net/SystemSockets.h"  // the resolver's EAI_ codes

namespace tempik::link {

namespace {

using net::AsyncSocketErrorCode;

std::string describe(const net::SocketError& error) {
  std::string text = error.domain + " " + std::to_string(error.code) + ": " + error.description;
  if (error.failureReason) text += " (" + *error.failureReason + ")";
  return text;
}

bool isOwn(const net::SocketError& error, AsyncSocketErrorCode code) {
  const auto own = net::AsyncSocketError::from(error);
  return own && own->code() == code;
}

bool isPosix(const net::SocketError& error) {
  return error.domain == net::kPosixErrorDomain;
}

// Errors that mean the same whether the link was being made or was up.
std::optional<LinkProblem> commonProblem(const net::SocketError& error) {
  if (isPosix(error)) {
    switch (error.code) {
      case ENETUNREACH:
      case ENETDOWN:
      case EHOSTUNREACH:
#ifdef EHOSTDOWN
      case EHOSTDOWN:
#endif
        return LinkProblem::networkUnreachable;
      case ECONNRESET:
      case EPIPE:
        return LinkProblem::resetByConsole;
      default:
        return std::nullopt;
    }
  }
  if (isOwn(error, AsyncSocketErrorCode::closed)) return LinkProblem::closedByConsole;
  return std::nullopt;
}

// A name that does not resolve, or a name server that cannot be asked: either way, no host.
bool isNameNotFound(int gaiCode) {
  switch (gaiCode) {
    case EAI_NONAME:
    case EAI_AGAIN:
    case EAI_FAIL:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
      return true;
    default:
      return false;
  }
}

}  // namespace

LinkDown connectFailure(const net::SocketError& error) {
  LinkProblem problem = LinkProblem::failed;
  if (const auto common = commonProblem(error)) {
    problem = *common;
  } else if (isPosix(error) && error.code == ECONNREFUSED) {
    problem = LinkProblem::refused;
  } else if ((isPosix(error) && error.code == ETIMEDOUT) ||
             isOwn(error, AsyncSocketErrorCode::connectTimeout)) {
    problem = LinkProblem::noAnswer;
  } else if (error.domain == net::kNetDBErrorDomain && isNameNotFound(error.code)) {
    problem = LinkProblem::hostNotFound;
  } else if (isOwn(error, AsyncSocketErrorCode::badParam)) {
    problem = LinkProblem::badAddress;
  }
  return {problem, describe(error)};
}

LinkDown connectionLoss(const std::optional<net::SocketError>& error) {
  if (!error) return {LinkProblem::closedByConsole, {}};
  LinkProblem problem = LinkProblem::failed;
  if (const auto common = commonProblem(*error)) {
    problem = *common;
  } else if (isPosix(*error) && error->code == ETIMEDOUT) {
    // Unacknowledged data or unanswered keepalive probes: the network or the console is gone.
    problem = LinkProblem::stalled;
  }
  return {problem, describe(*error)};
}

std::string_view logText(LinkProblem problem) {
  switch (problem) {
    case LinkProblem::badAddress:
      return "not an address";
    case LinkProblem::refused:
      return "refused";
    case LinkProblem::noAnswer:
      return "no answer";
    case LinkProblem::hostNotFound:
      return "host name not found";
    case LinkProblem::networkUnreachable:
      return "network unreachable";
    case LinkProblem::closedByConsole:
      return "closed by the console";
    case LinkProblem::resetByConsole:
      return "reset by the console";
    case LinkProblem::stalled:
      return "the console stopped answering";
    case LinkProblem::superseded:
      return "overtaken by a newer attempt";
    case LinkProblem::failed:
      break;
  }
  return "failed";
}

}  // namespace tempik::link
