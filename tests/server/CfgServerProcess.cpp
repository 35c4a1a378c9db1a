#include "CfgServerProcess.h"

#include <poll.h>
#include <sys/prctl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

std::string CfgServerProcess::ServerProgram() { return KRO_CFGSO_SERVER; }
std::string CfgServerProcess::CfgsoProgram() { return KRO_CFGSO_TOOL; }

CfgServerProcess::~CfgServerProcess() {
  if (m_pid > 0) Kill9();
}

bool CfgServerProcess::Start(const std::string& db, const std::vector<std::string>& arguments, std::string& error) {
  int out[2];
  if (pipe(out) != 0) {
    error = "pipe failed";
    return false;
  }
  std::vector<std::string> words = {ServerProgram(), "--db", db};
  words.insert(words.end(), arguments.begin(), arguments.end());
  const pid_t parent = getpid();
  m_pid = fork();
  if (m_pid == 0) {
    // A test or benchmark killed before its fixture stops the server (a signal, a closed pipe) takes
    // the server with it, rather than leaving it serving an orphaned database.
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) _exit(127);
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (line.find('\n') == std::string::npos) {
    pollfd p{out[0], POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char buffer[256];
    ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    line.append(buffer, static_cast<std::size_t>(n));
  }
  close(out[0]);
  if (line.find('\n') == std::string::npos || !line.starts_with("corbaloc:")) {
    error = "no address from cfgso-server (it printed '" + line + "')";
    Kill9();
    return false;
  }
  m_address = line.substr(0, line.find('\n'));
  return true;
}

int CfgServerProcess::Stop() {
  if (m_pid <= 0) return -1;
  kill(m_pid, SIGTERM);
  int status = 0;
  waitpid(m_pid, &status, 0);
  m_pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void CfgServerProcess::Kill9() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGKILL);
  waitpid(m_pid, nullptr, 0);
  m_pid = -1;
}

void CfgServerProcess::Signal(int signal) {
  if (m_pid <= 0) return;
  kill(m_pid, signal);
  // A stop is delivered some time after kill returns; a test that then calls the server must find it
  // stopped, not answering one last request.
  if (signal == SIGSTOP) {
    int status = 0;
    waitpid(m_pid, &status, WUNTRACED);
  }
}

CfgServerTempDir::CfgServerTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "cfgso-server-XXXXXX").string();
  m_path = mkdtemp(pattern.data()) ? pattern : std::string();
}

CfgServerTempDir::~CfgServerTempDir() {
  std::error_code ec;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
}

int CfgServerRun(const std::string& command, std::string& out) {
  out.clear();
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
