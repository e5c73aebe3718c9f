// One run of the exporter: started, read, and held to its time limit.
using System;
using System.Collections.Generic;
using System.ComponentModel;
using System.Diagnostics;
using System.IO;
using System.Linq;
using System.Reflection;
using System.Runtime.ExceptionServices;
using System.Text;
using System.Threading;
using System.Threading.Tasks;

namespace ContactExporter
{
    /// <summary>How one run of the exporter ended.</summary>
    internal sealed class ExporterOutcome
    {
        public ExporterOutcome(int? exitCode, string standardError, bool timedOut, bool stopped)
        {
            ExitCode = exitCode;
            StandardError = standardError;
            TimedOut = timedOut;
            Stopped = stopped;
        }

        /// <summary>Null when the exporter could not be ended.</summary>
        public int? ExitCode { get; private set; }
        /// <summary>Decoded as UTF-8: the contract's messages are ASCII, diagnostic lines UTF-8.</summary>
        public string StandardError { get; private set; }
        /// <summary>Whether the exporter, or its output, did not end within the time limit.</summary>
        public bool TimedOut { get; private set; }
        /// <summary>Whether the exporter was still running at the time limit, and was told to stop.</summary>
        public bool Stopped { get; private set; }
    }

    /// <summary>
    /// Runs the exporter with both pipes read as bytes and at once, so that neither fills up. A
    /// watchdog holds it to the time limit: it must exit, and its output end, within the limit;
    /// reading what it wrote may take longer. Past the limit it is ended, and the output's reader
    /// sees the output end where it stands.
    /// </summary>
    internal sealed class ExporterProcess : IDisposable
    {
        // How long an exporter that was told to stop may take to end.
        private static readonly TimeSpan StopGrace = TimeSpan.FromSeconds(5);

        // How long standard error may stay open once the exporter has exited
        // and its output has ended: a process it started may hold it (Wine's
        // services do, started by the first Windows program of a session)
        // while all the exporter wrote is there already.
        private static readonly TimeSpan ErrorsGrace = TimeSpan.FromSeconds(1);

        // .NET Core 3.0 and later have Process.Kill(bool), which also ends the
        // processes the exporter (or a launcher in front of it) started.
        private static readonly MethodInfo KillTree = typeof(Process).GetMethod("Kill", new[] { typeof(bool) });

        private readonly Process process;
        private readonly DrainedPipe output;
        private readonly DrainedPipe errors;
        private readonly Task<ExporterOutcome> outcome;
        private readonly ManualResetEventSlim abandoned = new ManualResetEventSlim();

        private ExporterProcess(Process process, TimeSpan timeLimit)
        {
            this.process = process;
            output = new DrainedPipe(process.StandardOutput.BaseStream);
            errors = new DrainedPipe(process.StandardError.BaseStream);
            outcome = Background.Run(() => Watch(timeLimit));
        }

        /// <summary>Standard output as it arrives; it ends with the exporter's output, or at the time limit.</summary>
        public Stream Output { get { return output.Reader; } }

        /// <summary>
        /// Starts COMMAND [ARG ...] in this process's environment with the variables given (a null
        /// value removes one); throws <see cref="ContactExporterException"/> (Failed) when it cannot.
        /// </summary>
        public static ExporterProcess Start(IList<string> command, IDictionary<string, string> variables,
                                            TimeSpan timeLimit)
        {
            var startInfo = new ProcessStartInfo(command[0], CommandLine.Join(command.Skip(1)))
            {
                UseShellExecute = false,
                CreateNoWindow = true,
                RedirectStandardInput = true,
                RedirectStandardOutput = true,
                RedirectStandardError = true,
            };
            foreach (KeyValuePair<string, string> variable in variables)
            {
                if (variable.Value == null)
                {
                    startInfo.EnvironmentVariables.Remove(variable.Key);
                }
                else
                {
                    startInfo.EnvironmentVariables[variable.Key] = variable.Value;
                }
            }
            Process process;
            try
            {
                process = Process.Start(startInfo);
            }
            catch (Win32Exception error)
            {
                throw new ContactExporterException(FailureKind.Failed, "cannot start " + command[0] + ": " + error.Message,
                                                   null, error);
            }
            process.StandardInput.Close();
            return new ExporterProcess(process, timeLimit);
        }

        public static byte[] ReadAll(Stream stream)
        {
            using (var bytes = new MemoryStream())
            {
                stream.CopyTo(bytes);
                return bytes.ToArray();
            }
        }

        /// <summary>Waits for the watchdog's verdict: at most the time limit and the grace of a stop.</summary>
        public ExporterOutcome WaitForOutcome()
        {
            return outcome.Result;
        }

        /// <summary>Ends a run whose output is no longer wanted (an enumeration left early).</summary>
        public void Dispose()
        {
            abandoned.Set();
            outcome.Wait();
            process.Dispose();
        }

        private ExporterOutcome Watch(TimeSpan timeLimit)
        {
            Stopwatch clock = Stopwatch.StartNew();
            Func<TimeSpan> left = () => timeLimit - clock.Elapsed;
            if (EndsInTime(step => process.WaitForExit(Milliseconds(step)), left) && EndsInTime(output.WaitForEnd, left))
            {
                TimeSpan remaining = left();
                errors.WaitForEnd(remaining < ErrorsGrace ? remaining : ErrorsGrace);
                return new ExporterOutcome(process.ExitCode, ErrorText(errors.TakeDrained()), false, false);
            }
            // The output is of no use now, and a process that could not be
            // ended may still hold the pipes: its reader sees the end here.
            output.Abandon();
            return Stop();
        }

        /// <summary>
        /// Whether what is waited for (the exit, the output's end) comes within the time left and
        /// before the run is abandoned. It is waited for a short step at a time, so that an
        /// abandoned run is ended soon.
        /// </summary>
        private bool EndsInTime(Func<TimeSpan, bool> endsWithin, Func<TimeSpan> left)
        {
            TimeSpan step = TimeSpan.FromMilliseconds(100);
            while (!abandoned.IsSet)
            {
                TimeSpan remaining = left();
                if (endsWithin(remaining < step ? remaining : step)) return true;
                if (remaining <= TimeSpan.Zero) return false;
            }
            return false;
        }

        private ExporterOutcome Stop()
        {
            // An abandoned run did not time out, whatever it was doing.
            bool timedOut = !abandoned.IsSet;
            // A process it started holds the output open.
            if (process.HasExited) return new ExporterOutcome(process.ExitCode, "", timedOut, false);
            try
            {
                Kill();
            }
            catch (InvalidOperationException)
            {
                // It has ended meanwhile.
            }
            catch (Win32Exception)
            {
                // Not ours to end (elevated, or another user's), or ending already: the wait tells.
            }
            bool ended = process.WaitForExit(Milliseconds(StopGrace));
            return new ExporterOutcome(ended ? process.ExitCode : (int?)null, "", timedOut, true);
        }

        private void Kill()
        {
            if (KillTree == null)
            {
                process.Kill();
                return;
            }
            try
            {
                KillTree.Invoke(process, new object[] { true });
            }
            catch (TargetInvocationException error)
            {
                ExceptionDispatchInfo.Capture(error.InnerException).Throw();
            }
        }

        private static int Milliseconds(TimeSpan time)
        {
            if (time <= TimeSpan.Zero) return 0;
            return time.TotalMilliseconds >= int.MaxValue ? Timeout.Infinite : (int)time.TotalMilliseconds;
        }

        private static string ErrorText(byte[] bytes)
        {
            return new UTF8Encoding(false, false).GetString(bytes);
        }
    }

    /// <summary>Work that blocks for as long as a run, on a thread of its own.</summary>
    internal static class Background
    {
        public static Task<T> Run<T>(Func<T> work)
        {
            return Task.Factory.StartNew(work, CancellationToken.None, TaskCreationOptions.LongRunning,
                                         TaskScheduler.Default);
        }
    }

    /// <summary>
    /// Builds a command line that the C runtime's rules (CommandLineToArgvW) split back
    /// into the same arguments; Mono's and .NET's own splitting of
    /// ProcessStartInfo.Arguments on Unix agree for quoted arguments.
    /// </summary>
    internal static class CommandLine
    {
        public static string Join(IEnumerable<string> arguments)
        {
            return string.Join(" ", arguments.Select(Quote));
        }

        private static string Quote(string argument)
        {
            var quoted = new StringBuilder("\"");
            int backslashes = 0;
            foreach (char character in argument)
            {
                if (character == '\\')
                {
                    backslashes++;
                    continue;
                }
                // Backslashes are literal unless a quotation mark follows them.
                quoted.Append('\\', character == '"' ? 2 * backslashes + 1 : backslashes);
                quoted.Append(character);
                backslashes = 0;
            }
            return quoted.Append('\\', 2 * backslashes).Append('"').ToString();
        }
    }
}
