// Reads the contacts that contact-exporter.exe writes, as a calling program would.
//
//     ReadContacts [options] COMMAND [ARG ...]
//
// COMMAND starts the exporter: its path (contact-exporter.exe), or a launcher
// followed by the launcher's own arguments (the exporter itself gets none in
// the export, and "-h" for the status query). Examples:
//
//     ReadContacts.exe "C:\Tools\contact-exporter\x64\contact-exporter.exe"
//     ReadContacts.exe --status "C:\Tools\contact-exporter\x64\contact-exporter.exe"
//     mono ReadContacts.exe scripts/standin-run samples/profile.json
//
// By default this client shows the exporter's raw contract: the records are
// in the ANSI code page of the machine the exporter runs on; on Windows that
// is the code page the registry names (GetACP() where it names none), and
// that is the default here. Elsewhere (the exporter runs under Wine) the
// default is cp1252; --encoding names another (cp932, for instance). A byte
// that the code page leaves undefined stands for the character of the same
// value, as Windows converts it. --text utf-8 asks the exporter for UTF-8
// records instead (CONTACT_EXPORTER_TEXT), which lose no character;
// --encoding then decodes nothing, and a line that is not UTF-8 makes the
// output malformed. --fields id,modified asks for each contact's identity and
// last change (CONTACT_EXPORTER_FIELDS), checked here as the exporter checks
// it. Either variable in this client's own environment is replaced by what
// the options say.
//
// --diagnostics asks the exporter for a line on standard error for each event
// that ends its run or walk early (CONTACT_EXPORTER_DIAGNOSTICS=1), and shows
// its standard error line by line whenever it wrote any.
//
// Exit codes: 0 the export was read whole (with --status: Outlook answered);
// 1 the exporter could not be started, ended with an exit code other than 0
// (its reason is shown), did not finish within the time limit or could not
// be ended, or the status query answered "ko"; 2 wrong usage; 3 the output is
// incomplete, malformed or could not be read: no trailer line (the walk
// stopped early), a line without CR LF, a record that does not parse, counts
// that disagree, or text after the trailer.
//
// It runs the exporter through ContactExporterClient, the class the NuGet
// package compiles into a project (packages/nuget/src), standard library only,
// C# 5. It builds with the .NET Framework's compiler, with Mono's, and in a
// .NET 6 or later project:
//
//     csc /r:System.Runtime.Serialization.dll ReadContacts.cs ..\packages\nuget\src\*.cs
//     mcs -r:System.Runtime.Serialization.dll ReadContacts.cs ../packages/nuget/src/*.cs
//     dotnet run -- "C:\Tools\contact-exporter\x64\contact-exporter.exe"

using System;
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using System.Text;
using System.Text.RegularExpressions;
using ContactExporter;

namespace ContactExporter.Examples
{
    internal static class ReadContacts
    {
        internal const string ProgramName = "ReadContacts";

        private const int ExitCannotRun = 1;
        private const int ExitUsage = 2;
        private const int ExitIncomplete = 3;

        private static int Main(string[] args)
        {
            CodePages.Register();
            Options options;
            try
            {
                options = Options.Parse(args);
            }
            catch (UsageException error)
            {
                Console.Error.WriteLine(Options.UsageText);
                Console.Error.WriteLine(ProgramName + ": error: " + error.Message);
                return ExitUsage;
            }
            if (options.Help)
            {
                Console.WriteLine(Options.HelpText);
                return 0;
            }

            var client = new ContactExporterClient(ClientOptions(options));
            try
            {
                return options.Status ? QueryStatus(client, options) : ReadExport(client, options);
            }
            catch (ContactExporterException error)
            {
                if (error.Kind == FailureKind.Usage) return Refuse(error.Message, ExitUsage);
                // It could not be started.
                return Refuse(error.Message, ExitCannotRun);
            }
        }

        /// <summary>COMMAND [ARG ...]: its last word stands where the exporter's path does, the rest in front of it.</summary>
        private static ContactExporterOptions ClientOptions(Options options)
        {
            return new ContactExporterOptions
            {
                CommandPrefix = options.Command.Take(options.Command.Count - 1).ToList(),
                ExecutablePath = options.Command.Last(),
                TimeLimit = options.TimeLimit,
                Diagnostics = options.Diagnostics,
                Text = options.Text,
                Fields = options.Fields,
                CodePage = options.CodePage,
            };
        }

        private static int QueryStatus(ContactExporterClient client, Options options)
        {
            string version;
            try
            {
                version = client.OutlookVersion();
            }
            catch (ContactExporterException error)
            {
                if (!Ran(error)) throw;
                bool timedOut = error.Kind == FailureKind.TimeLimit;
                Tell("Outlook is not available", timedOut ? StopText(error) : error.StandardError,
                     options.Diagnostics && !timedOut);
                return ExitCannotRun;
            }
            Console.WriteLine("Outlook " + version);
            return 0;
        }

        private static int ReadExport(ContactExporterClient client, Options options)
        {
            if (options.Text == RecordText.Ansi && options.CodePage == 0)
            {
                int machineAnsi = CodePages.MachineAnsi();
                if (CodePages.ForRecords(machineAnsi) == null)
                {
                    Console.Error.WriteLine("{0}: the ANSI code page cp{1} is not available here (on .NET Core 3.1 " +
                                            "and earlier, reference System.Text.Encoding.CodePages); name one with " +
                                            "--encoding", ProgramName, machineAnsi);
                    return ExitUsage;
                }
            }
            ContactExport export;
            try
            {
                export = client.ReadContacts();
            }
            catch (ContactExporterException error)
            {
                if (!Ran(error)) throw;
                return Failed(error, options);
            }
            catch (Exception error)
            {
                Console.Error.WriteLine(ProgramName + ": the export could not be read: " + error.GetType().Name + ": " +
                                        error.Message);
                return ExitIncomplete;
            }
            if (options.Diagnostics)
            {
                ShowStandardError(export.StandardError);
            }
            else
            {
                ShowReported(export.StandardError);
            }
            if (options.Json)
            {
                foreach (Contact contact in export.Contacts) Console.Out.Write(contact.ToJson() + "\n");
                return 0;
            }
            if (options.ListContacts)
            {
                foreach (Contact contact in export.Contacts) Console.WriteLine(Listing(contact));
            }
            WriteSummary(export);
            return 0;
        }

        /// <summary>Whether the failure comes from a run of the exporter (not from starting it, nor from the options).</summary>
        private static bool Ran(ContactExporterException error)
        {
            return error.Kind != FailureKind.Usage && (error.ExitCode != null || error.Kind == FailureKind.TimeLimit);
        }

        private static int Failed(ContactExporterException error, Options options)
        {
            switch (error.Kind)
            {
                case FailureKind.TimeLimit:
                    if (error.ExitCode == null) return Refuse("the exporter is still running: " + StopText(error), ExitCannotRun);
                    return Refuse("the exporter ended with exit code " + error.ExitCode + ": " + StopText(error),
                                  ExitCannotRun);
                case FailureKind.IncompleteExport:
                    if (!options.Diagnostics) ShowReported(error.StandardError);
                    Console.Error.WriteLine("{0}: incomplete export ({1} records read): {2}", ProgramName,
                                            error.RecordsRead, error.Message);
                    if (options.Diagnostics) ShowStandardError(error.StandardError);
                    return ExitIncomplete;
                default:
                    // Exit code 1: an orderly end (Outlook not installed, MAPI not
                    // loadable, out of memory), with the reason on standard error.
                    Tell(ProgramName + ": the exporter ended with exit code " + error.ExitCode, error.StandardError,
                         options.Diagnostics);
                    return ExitCannotRun;
            }
        }

        private static string StopText(ContactExporterException error)
        {
            if (!error.ExporterStopped) return "stopped: it exited, but its output did not end in time (see --timeout)";
            if (error.ExitCode == null) return "it did not finish in time (see --timeout), and could not be ended";
            return "stopped: it did not finish in time (see --timeout)";
        }

        private static int Refuse(string message, int exitCode)
        {
            Console.Error.WriteLine(ProgramName + ": " + message);
            return exitCode;
        }

        /// <summary>What the exporter wrote on standard error in a run that went on, on one line.</summary>
        private static void ShowReported(string message)
        {
            if (message.Length > 0) Console.Error.WriteLine(ProgramName + ": the exporter reported: " + message);
        }

        /// <summary>
        /// Prints a verdict on standard error with the exporter's message after it: on the same
        /// line, or below it line by line (the diagnostics' form).
        /// </summary>
        private static void Tell(string verdict, string message, bool asLines)
        {
            if (!asLines)
            {
                Console.Error.WriteLine(verdict + (message.Length > 0 ? ": " + message : ""));
                return;
            }
            Console.Error.WriteLine(verdict);
            ShowStandardError(message);
        }

        private static void ShowStandardError(string message)
        {
            List<string> lines = Regex.Split(message, "\\r?\\n").ToList();
            if (lines[lines.Count - 1].Length == 0) lines.RemoveAt(lines.Count - 1);
            if (lines.Count == 0) return;
            Console.Error.WriteLine(ProgramName + ": the exporter's standard error:");
            foreach (string line in lines) Console.Error.WriteLine(line);
        }

        private static void WriteSummary(ContactExport export)
        {
            IList<Contact> contacts = export.Contacts;
            Console.WriteLine("contacts: " + contacts.Count);
            Console.WriteLine("with e-mail: " + contacts.Count(contact => contact.Addresses().Any()));
            Console.WriteLine("with phones: " + contacts.Count(contact => contact.Phones != null &&
                                                                          contact.Phones.Length > 0));
            Console.WriteLine("with pictures: " + contacts.Count(contact => contact.Image != null));
            Console.WriteLine("items in the folder: " + export.Items);
        }

        private static string Listing(Contact contact)
        {
            string addresses = string.Join(", ", contact.Addresses());
            string name = contact.DisplayName ?? "(no name)";
            return addresses.Length > 0 ? name + " <" + addresses + ">" : name;
        }
    }

    internal sealed class UsageException : Exception
    {
        public UsageException(string message)
            : base(message)
        {
        }
    }

    /// <summary>The command line, as read_contacts.py takes it.</summary>
    internal sealed class Options
    {
        public const string UsageText =
            "usage: " + ReadContacts.ProgramName + " [-h] [--encoding ENCODING] [--text TEXT] [--fields FIELDS] [--status] [--list] [--json] [--diagnostics] [--timeout TIMEOUT] ...";

        public const string HelpText = UsageText + @"

Runs contact-exporter.exe and reads its contacts.

positional arguments:
  command              the command that starts the exporter

options:
  -h, --help           show this help message and exit
  --encoding ENCODING  code page of ANSI records (default: the ANSI code page
                       on Windows, else cp1252)
  --text TEXT          the records' text: ansi (the default, the exporter's
                       raw contract) or utf-8
  --fields FIELDS      members to add to each record: a comma-separated list
                       of id and modified
  --status             only ask for Outlook's version (the -h mode)
  --list               print each contact's name and e-mail addresses
  --json               print each record as canonical JSON, one a line,
                       instead of the summary
  --diagnostics        ask the exporter why a run or walk ended early, and
                       show its standard error
  --timeout TIMEOUT    seconds to wait for the exporter (600)

COMMAND is the exporter's path, or a launcher and its arguments.";

        private static readonly Regex CodePageName =
            new Regex(@"\A(?:cp|windows-)?([0-9]{1,5})\z", RegexOptions.IgnoreCase | RegexOptions.CultureInvariant);

        // Python's float() reads these words, which .NET's parser does not.
        private static readonly Regex NotFiniteWord =
            new Regex(@"\A\s*[+-]?(inf|infinity|nan)\s*\z", RegexOptions.IgnoreCase | RegexOptions.CultureInvariant);

        private Options()
        {
            TimeLimit = TimeSpan.FromSeconds(600);
            Text = RecordText.Ansi;
        }

        public bool Help { get; private set; }
        public bool Status { get; private set; }
        public bool ListContacts { get; private set; }
        public bool Json { get; private set; }
        public bool Diagnostics { get; private set; }
        public TimeSpan TimeLimit { get; private set; }
        /// <summary>--text: the exporter's raw contract, ANSI, unless UTF-8 is asked for.</summary>
        public RecordText Text { get; private set; }
        public RecordFields Fields { get; private set; }
        /// <summary>The code page --encoding names, or 0: the machine's ANSI code page.</summary>
        public int CodePage { get; private set; }
        public IList<string> Command { get; private set; }

        /// <summary>Options first; the first argument that is not one starts the command.</summary>
        public static Options Parse(string[] args)
        {
            var options = new Options();
            int at = 0;
            for (; at < args.Length && args[at].StartsWith("-", StringComparison.Ordinal) && args[at] != "-"; at++)
            {
                if (args[at] == "--")
                {
                    at++;
                    break;
                }
                options.Take(args, ref at);
                if (options.Help) return options;
            }
            options.Command = args.Skip(at).ToList();
            if (options.Command.Count == 0) throw new UsageException("the command that starts the exporter is missing");
            return options;
        }

        private void Take(string[] args, ref int at)
        {
            string option = args[at];
            string value = null;
            int equals = option.IndexOf('=');
            if (option.StartsWith("--", StringComparison.Ordinal) && equals > 0)
            {
                value = option.Substring(equals + 1);
                option = option.Substring(0, equals);
            }
            switch (option)
            {
                case "-h":
                case "--help":
                    Help = true;
                    break;
                case "--status":
                    Status = Flag(option, value);
                    break;
                case "--list":
                    ListContacts = Flag(option, value);
                    break;
                case "--json":
                    Json = Flag(option, value);
                    break;
                case "--diagnostics":
                    Diagnostics = Flag(option, value);
                    break;
                case "--encoding":
                    CodePage = NamedCodePage(value ?? NextValue(args, ref at, option));
                    break;
                case "--text":
                    Text = TextMode(value ?? NextValue(args, ref at, option));
                    break;
                case "--fields":
                    Fields = FieldList(value ?? NextValue(args, ref at, option));
                    break;
                case "--timeout":
                    TimeLimit = ParseTimeLimit(value ?? NextValue(args, ref at, option));
                    break;
                default:
                    throw new UsageException("unrecognized arguments: " + args[at]);
            }
        }

        private static bool Flag(string option, string value)
        {
            if (value != null) throw new UsageException("argument " + option + ": ignored explicit argument '" + value + "'");
            return true;
        }

        private static string NextValue(string[] args, ref int at, string option)
        {
            if (at + 1 >= args.Length) throw new UsageException("argument " + option + ": expected one argument");
            return args[++at];
        }

        private static TimeSpan ParseTimeLimit(string text)
        {
            double seconds = ParseFloat(text);
            if (double.IsNaN(seconds) || seconds < 0)
            {
                throw new UsageException("argument --timeout: not a number of seconds: '" + text + "'");
            }
            // Past some 24 days the wait has no end.
            return seconds * 1000 >= int.MaxValue ? TimeSpan.FromMilliseconds(int.MaxValue) : TimeSpan.FromSeconds(seconds);
        }

        /// <summary>A number as read_contacts.py's float() reads it: "inf" too, and past double's range infinite.</summary>
        private static double ParseFloat(string text)
        {
            bool negative = text.TrimStart().StartsWith("-", StringComparison.Ordinal);
            Match word = NotFiniteWord.Match(text);
            if (word.Success)
            {
                if (string.Equals(word.Groups[1].Value, "nan", StringComparison.OrdinalIgnoreCase)) return double.NaN;
                return negative ? double.NegativeInfinity : double.PositiveInfinity;
            }
            try
            {
                return double.Parse(text, NumberStyles.Float, CultureInfo.InvariantCulture);
            }
            catch (FormatException)
            {
                throw new UsageException("argument --timeout: invalid float value: '" + text + "'");
            }
            catch (OverflowException)
            {
                return negative ? double.NegativeInfinity : double.PositiveInfinity;
            }
        }

        private static RecordText TextMode(string text)
        {
            if (text == "ansi") return RecordText.Ansi;
            if (text == "utf-8") return RecordText.Utf8;
            throw new UsageException("argument --text: invalid choice: '" + text + "' (choose from ansi, utf-8)");
        }

        /// <summary>A comma-separated list of id and modified, as the exporter takes it; empty asks for none.</summary>
        private static RecordFields FieldList(string text)
        {
            RecordFields fields = RecordFields.None;
            if (text.Length == 0) return fields;
            foreach (string name in text.Split(','))
            {
                if (name == "id")
                {
                    fields |= RecordFields.Id;
                }
                else if (name == "modified")
                {
                    fields |= RecordFields.Modified;
                }
                else
                {
                    throw new UsageException(
                        "argument --fields: not a comma-separated list of the names id and modified: '" + text + "'");
                }
            }
            return fields;
        }

        /// <summary>cp932, 932, windows-1252, or a name .NET knows (shift_jis, utf-8).</summary>
        private static int NamedCodePage(string name)
        {
            Match number = CodePageName.Match(name);
            int codePage;
            if (number.Success)
            {
                codePage = int.Parse(number.Groups[1].Value, CultureInfo.InvariantCulture);
            }
            else
            {
                try
                {
                    codePage = Encoding.GetEncoding(name).CodePage;
                }
                catch (ArgumentException)
                {
                    codePage = -1;
                }
            }
            if (codePage <= 0 || CodePages.ForRecords(codePage) == null)
            {
                throw new UsageException("argument --encoding: unknown encoding '" + name + "'");
            }
            return codePage;
        }
    }
}
