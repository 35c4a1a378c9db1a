// A cfgso-server of a test or benchmark's own: started on a free loopback port (or the endpoint
// given), its address read from its first line, stopped with SIGTERM or killed.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class CfgServerProcess {
 public:
  // The server program and the cfgso program of this build.
  static std::string ServerProgram();
  static std::string CfgsoProgram();

  CfgServerProcess() = default;
  ~CfgServerProcess();
  CfgServerProcess(const CfgServerProcess&) = delete;
  CfgServerProcess& operator=(const CfgServerProcess&) = delete;

  // Starts it on the database with the further arguments; false (and why in error) when it exits
  // or prints no address within 20 s.
  bool Start(const std::string& db, const std::vector<std::string>& arguments, std::string& error);
  const std::string& address() const { return m_address; }
  pid_t pid() const { return m_pid; }
  // SIGTERM, then the exit status (-1 when it did not exit normally).
  int Stop();
  void Kill9();
  void Signal(int signal);

 private:
  pid_t m_pid = -1;
  std::string m_address;
};

// A folder of its own under the system's temporary folder, removed with everything in it.
class CfgServerTempDir {
 public:
  CfgServerTempDir();
  ~CfgServerTempDir();
  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

// Runs a command line through the shell; its exit status, standard output in out.
int CfgServerRun(const std::string& command, std::string& out);
