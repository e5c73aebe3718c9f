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
// The export's records are in the ANSI code page of the machine the exporter
// runs on; on Windows that is the code page GetACP() names, and that is the
// default here. Elsewhere (the exporter runs under Wine) the default is
// cp1252; --encoding names another (cp932, for instance). A byte that the code
// page leaves undefined stands for the character of the same value, as
// Windows converts it.
//
// --diagnostics asks the exporter for a line on standard error for each event
// that ends its run or walk early (CONTACT_EXPORTER_DIAGNOSTICS=1), and shows
// its standard error line by line whenever it wrote any.
//
// Exit codes: 0 the export was read whole; 1 the exporter could not run (its
// reason is shown), or the status query answered "ko"; 2 wrong usage; 3 the
// output is incomplete or malformed: no trailer line (an Outlook error stopped
// the walk), a record that does not parse, or counts that disagree.
//
// One file, standard library only, C# 5. It builds with the .NET Framework's
// compiler, with Mono's, and in a .NET 6 or later project:
//
//     csc /r:System.Runtime.Serialization.dll ReadContacts.cs
//     mcs -r:System.Runtime.Serialization.dll ReadContacts.cs
//     dotnet run -- "C:\Tools\contact-exporter\x64\contact-exporter.exe"

using System;
using System.Collections.Generic;
using System.Collections.Concurrent;
using System.ComponentModel;
using System.Diagnostics;
using System.Globalization;
using System.IO;
using System.Linq;
using System.Reflection;
using System.Runtime.ExceptionServices;
using System.Runtime.InteropServices;
using System.Runtime.Serialization;
using System.Runtime.Serialization.Json;
using System.Text;
using System.Text.RegularExpressions;
using System.Threading;
using System.Threading.Tasks;
using System.Xml;

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

            try
            {
                return options.Status ? QueryStatus(options) : ReadExport(options);
            }
            catch (CannotStartException error)
            {
                Console.Error.WriteLine(ProgramName + ": " + error.Message);
                return ExitCannotRun;
            }
        }

        private static int QueryStatus(Options options)
        {
            ExporterRun<byte[]> run = ExporterRun.Run(options.Command, new[] { "-h" }, ExporterRun.ReadAll,
                                                      options.TimeLimit, options.Diagnostics);
            // The status answer is UTF-8, with no line end.
            string version = run.Output == null ? "" : Encoding.UTF8.GetString(run.Output);
            if (run.Stopped || run.ExitCode != 0 || version == "ko")
            {
                Tell("Outlook is not available", run.Message, options.Diagnostics && !run.Stopped);
                return ExitCannotRun;
            }
            Console.WriteLine("Outlook " + version);
            return 0;
        }

        private static int ReadExport(Options options)
        {
            Encoding encoding = options.RecordEncoding;
            string encodingName = options.RecordEncodingName;
            if (encoding == null && !SystemEncoding(out encoding, out encodingName))
            {
                Console.Error.WriteLine("{0}: the ANSI code page {1} is not available here (on .NET Core 3.1 and " +
                                        "earlier, reference System.Text.Encoding.CodePages); name one with --encoding",
                                        ProgramName, encodingName);
                return ExitUsage;
            }

            ExporterRun<Export> run;
            try
            {
                run = ExporterRun.Run(options.Command, new string[0], output => ExportReader.Read(output, encoding),
                                      options.TimeLimit, options.Diagnostics);
            }
            catch (ReadingFailedException error)
            {
                Console.Error.WriteLine(ProgramName + ": the export could not be read: " + error.Message);
                return ExitIncomplete;
            }
            if (run.ExitCode == null)
            {
                Console.Error.WriteLine(ProgramName + ": the exporter is still running: " + run.Message);
                return ExitCannotRun;
            }
            if (run.Stopped || run.ExitCode != 0)
            {
                // Exit code 1: an orderly end (Outlook not installed, MAPI not
                // loadable, out of memory), with the reason on standard error.
                Tell(ProgramName + ": the exporter ended with exit code " + run.ExitCode, run.Message,
                     options.Diagnostics && !run.Stopped);
                return ExitCannotRun;
            }
            if (run.Message.Length > 0 && !options.Diagnostics)
            {
                Console.Error.WriteLine(ProgramName + ": the exporter reported: " + run.Message);
            }

            Export export = run.Output;
            if (export.Problem != null)
            {
                Console.Error.WriteLine("{0}: incomplete export ({1} records read): {2}", ProgramName,
                                        export.Contacts.Count, export.Problem);
            }
            if (options.Diagnostics) ShowStandardError(run.Message);
            if (export.Problem != null) return ExitIncomplete;
            if (options.Json)
            {
                CanonicalJson.WriteLines(export.Contacts, Console.Out);
                return 0;
            }
            if (options.ListContacts)
            {
                foreach (Contact contact in export.Contacts) Console.WriteLine(Listing(contact));
            }
            WriteSummary(export);
            return 0;
        }

        private static bool SystemEncoding(out Encoding encoding, out string name)
        {
            int codePage = CodePages.SystemAnsi();
            name = "cp" + codePage;
            encoding = CodePages.ForRecords(codePage);
            return encoding != null;
        }

        /// <summary>
        /// Prints a verdict on standard error with the exporter's message after it: on the same
        /// line, or below it line by line (the diagnostics' form).
        /// </summary>
        private static void Tell(string verdict, string message, bool asLines)
        {
            if (!asLines)
            {
                Console.Error.WriteLine(verdict + Detail(message));
                return;
            }
            Console.Error.WriteLine(verdict);
            ShowStandardError(message);
        }

        private static void ShowStandardError(string message)
        {
            List<string> lines = Regex.Split(message, "\r?\n").ToList();
            if (lines[lines.Count - 1].Length == 0) lines.RemoveAt(lines.Count - 1);
            if (lines.Count == 0) return;
            Console.Error.WriteLine(ProgramName + ": the exporter's standard error:");
            foreach (string line in lines) Console.Error.WriteLine(line);
        }

        private static string Detail(string message)
        {
            return message.Length > 0 ? ": " + message : "";
        }

        private static void WriteSummary(Export export)
        {
            List<Contact> contacts = export.Contacts;
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

    /// <summary>A record of the export. Members the exporter leaves out are null.</summary>
    [DataContract]
    internal sealed class Contact
    {
        [DataMember(Name = "image")]
        public string Image { get; set; }

        [DataMember(Name = "displayname")]
        public string DisplayName { get; set; }

        [DataMember(Name = "emailaddrs")]
        public string[] EmailAddresses { get; set; }

        [DataMember(Name = "firstname")]
        public string FirstName { get; set; }

        [DataMember(Name = "surname")]
        public string Surname { get; set; }

        [DataMember(Name = "phones")]
        public Phone[] Phones { get; set; }

        /// <summary>The e-mail addresses that are not empty.</summary>
        public IEnumerable<string> Addresses()
        {
            return (EmailAddresses ?? new string[0]).Where(address => !string.IsNullOrEmpty(address));
        }
    }

    [DataContract]
    internal sealed class Phone
    {
        [DataMember(Name = "type")]
        public string Type { get; set; }

        [DataMember(Name = "number")]
        public string Number { get; set; }
    }

    /// <summary>
    /// Records in one form that other readers can compare theirs with byte for byte: what
    /// Python's json.dumps(record, ensure_ascii=True, separators=(",", ":")) prints for the
    /// record, its members in the exporter's order; each line ends in LF on every system.
    /// </summary>
    internal static class CanonicalJson
    {
        public static void WriteLines(IEnumerable<Contact> contacts, TextWriter output)
        {
            var line = new StringBuilder();
            foreach (Contact contact in contacts)
            {
                line.Length = 0;
                Write(contact, line);
                output.Write(line.Append('\n').ToString());
            }
            output.Flush();
        }

        public static void Write(Contact contact, StringBuilder json)
        {
            var members = new Members(json);
            members.Text("image", contact.Image);
            members.Text("displayname", contact.DisplayName);
            if (contact.EmailAddresses != null) members.List("emailaddrs", contact.EmailAddresses, Text);
            members.Text("firstname", contact.FirstName);
            members.Text("surname", contact.Surname);
            if (contact.Phones != null) members.List("phones", contact.Phones, Write);
            members.End();
        }

        private static void Write(Phone phone, StringBuilder json)
        {
            var members = new Members(json);
            members.Text("type", phone.Type);
            members.Text("number", phone.Number);
            members.End();
        }

        private static void Text(string text, StringBuilder json)
        {
            if (text == null)
            {
                json.Append("null");
                return;
            }
            json.Append('"');
            foreach (char character in text) json.Append(Escaped(character));
            json.Append('"');
        }

        private static string Escaped(char character)
        {
            switch (character)
            {
                case '"': return "\\\"";
                case '\\': return "\\\\";
                case '\b': return "\\b";
                case '\f': return "\\f";
                case '\n': return "\\n";
                case '\r': return "\\r";
                case '\t': return "\\t";
            }
            if (character >= ' ' && character <= '~') return character.ToString();
            return "\\u" + ((int)character).ToString("x4", CultureInfo.InvariantCulture);
        }

        /// <summary>An object's members, in the order written, with their commas; absent ones left out.</summary>
        private sealed class Members
        {
            private readonly StringBuilder json;
            private bool first = true;

            public Members(StringBuilder json)
            {
                this.json = json;
                json.Append('{');
            }

            public void Text(string name, string value)
            {
                if (value == null) return;
                Name(name);
                CanonicalJson.Text(value, json);
            }

            public void List<T>(string name, IEnumerable<T> values, Action<T, StringBuilder> write)
            {
                Name(name);
                json.Append('[');
                bool firstValue = true;
                foreach (T value in values)
                {
                    if (!firstValue) json.Append(',');
                    write(value, json);
                    firstValue = false;
                }
                json.Append(']');
            }

            public void End()
            {
                json.Append('}');
            }

            private void Name(string name)
            {
                json.Append(first ? "" : ",");
                CanonicalJson.Text(name, json);
                json.Append(':');
                first = false;
            }
        }
    }

    /// <summary>What was read of an export: its records, and either the trailer's item count or a problem.</summary>
    internal sealed class Export
    {
        public Export(List<Contact> contacts, long items, string problem)
        {
            Contacts = contacts;
            Items = items;
            Problem = problem;
        }

        public List<Contact> Contacts { get; private set; }
        public long Items { get; private set; }
        /// <summary>Why the output is not a whole export, or null.</summary>
        public string Problem { get; private set; }
    }

    /// <summary>
    /// Reads the export from the exporter's standard output: lines split at the
    /// bytes CR LF, each decoded in the code page and parsed as a JSON object,
    /// then the trailer line "contatti trovati: N / M".
    /// </summary>
    internal sealed class ExportReader
    {
        private static readonly Regex TrailerLine =
            new Regex(@"\Acontatti trovati: ([0-9]{1,18}) / ([0-9]{1,18})\z", RegexOptions.CultureInvariant);

        private readonly Encoding encoding;
        private readonly DataContractJsonSerializer serializer = new DataContractJsonSerializer(typeof(Contact));
        private readonly List<Contact> contacts = new List<Contact>();
        private bool emptyLineSeen;
        private bool trailerSeen;
        private long written;
        private long items;

        private ExportReader(Encoding encoding)
        {
            this.encoding = encoding;
        }

        public static Export Read(Stream output, Encoding encoding)
        {
            var reader = new ExportReader(encoding);
            string problem = reader.ReadWhole(output);
            if (problem == null) return new Export(reader.contacts, reader.items, null);
            output.CopyTo(Stream.Null); // what is left, so that it is not held in memory
            return new Export(reader.contacts, 0, problem);
        }

        /// <returns>Null, or why the output is not a whole export.</returns>
        private string ReadWhole(Stream output)
        {
            try
            {
                foreach (ArraySegment<byte> line in ByteLines.Read(output)) Take(line);
                CheckTrailer();
                return null;
            }
            catch (IncompleteExportException error)
            {
                return error.Message;
            }
        }

        private void Take(ArraySegment<byte> raw)
        {
            int number = contacts.Count + 1;
            if (trailerSeen) throw new IncompleteExportException("text after the trailer line");
            if (!ByteLines.EndsWith(raw, "\n"))
            {
                throw new IncompleteExportException("the output stops inside a record: no trailer line");
            }
            if (!ByteLines.EndsWith(raw, "\r\n"))
            {
                throw new IncompleteExportException("line {0} does not end in CR LF", number);
            }

            string line = encoding.GetString(raw.Array, raw.Offset, raw.Count - 2);
            Match trailer = TrailerLine.Match(line);
            if (trailer.Success)
            {
                trailerSeen = true;
                written = long.Parse(trailer.Groups[1].Value, CultureInfo.InvariantCulture);
                items = long.Parse(trailer.Groups[2].Value, CultureInfo.InvariantCulture);
                return;
            }
            if (emptyLineSeen) throw new IncompleteExportException("the empty line is not followed by the trailer line");
            if (line.Length == 0 && contacts.Count == 0)
            {
                emptyLineSeen = true; // no record: the trailer follows an empty line
                return;
            }
            contacts.Add(Parse(line, number));
        }

        private Contact Parse(string line, int number)
        {
            Contact contact;
            try
            {
                contact = Deserialize(line);
            }
            catch (SerializationException error)
            {
                throw NotJson(number, error);
            }
            catch (XmlException error)
            {
                throw NotJson(number, error);
            }
            catch (TargetInvocationException error)
            {
                // Mono's serializer passes some of the reader's errors on wrapped in this.
                Exception cause = error.InnerException;
                if (!(cause is XmlException || cause is SerializationException || cause is FormatException)) throw;
                throw NotJson(number, cause);
            }
            if (contact == null) throw new IncompleteExportException("record {0} is not a JSON object", number);
            return contact;
        }

        /// <returns>The record, or null when the JSON value is not an object.</returns>
        private Contact Deserialize(string line)
        {
            byte[] json = Encoding.UTF8.GetBytes(line);
            using (XmlDictionaryReader reader = JsonReaderWriterFactory.CreateJsonReader(json, XmlDictionaryReaderQuotas.Max))
            {
                // The JSON reader maps the value to XML: the root element's
                // "type" attribute tells an object from an array, a string,
                // a number or null.
                reader.MoveToContent();
                if (reader.GetAttribute("type") != "object") return null;
                var contact = (Contact)serializer.ReadObject(reader);
                if (reader.Read()) throw new XmlException("text after the JSON object");
                return contact;
            }
        }

        private static IncompleteExportException NotJson(int number, Exception error)
        {
            while (error.InnerException != null) error = error.InnerException;
            return new IncompleteExportException("record {0} is not JSON: {1}", number, error.Message);
        }

        private void CheckTrailer()
        {
            if (!trailerSeen) throw new IncompleteExportException("no trailer line: an Outlook error stopped the walk");
            if (written != contacts.Count)
            {
                throw new IncompleteExportException("the trailer counts {0} records, the output holds {1}", written,
                                                    contacts.Count);
            }
            if (written > items)
            {
                throw new IncompleteExportException("the trailer counts {0} records of {1} items", written, items);
            }
        }
    }

    /// <summary>The output is not a whole export.</summary>
    internal sealed class IncompleteExportException : Exception
    {
        public IncompleteExportException(string format, params object[] values)
            : base(string.Format(CultureInfo.InvariantCulture, format, values))
        {
        }
    }

    /// <summary>Lines of a byte stream, each with its LF; the last may lack one.</summary>
    internal static class ByteLines
    {
        /// <summary>
        /// The segments share one buffer: each is valid until the next is asked for.
        /// </summary>
        public static IEnumerable<ArraySegment<byte>> Read(Stream stream)
        {
            using (var line = new MemoryStream())
            {
                var buffer = new byte[64 * 1024];
                int count;
                while ((count = stream.Read(buffer, 0, buffer.Length)) > 0)
                {
                    int start = 0;
                    int end;
                    while ((end = Array.IndexOf(buffer, (byte)'\n', start, count - start)) >= 0)
                    {
                        line.Write(buffer, start, end + 1 - start);
                        yield return new ArraySegment<byte>(line.GetBuffer(), 0, (int)line.Length);
                        line.SetLength(0);
                        start = end + 1;
                    }
                    line.Write(buffer, start, count - start);
                }
                if (line.Length > 0) yield return new ArraySegment<byte>(line.GetBuffer(), 0, (int)line.Length);
            }
        }

        /// <summary>Whether the bytes end in the given ASCII text.</summary>
        public static bool EndsWith(ArraySegment<byte> bytes, string ending)
        {
            if (bytes.Count < ending.Length) return false;
            int start = bytes.Offset + bytes.Count - ending.Length;
            for (int at = 0; at < ending.Length; at++)
            {
                if (bytes.Array[start + at] != ending[at]) return false;
            }
            return true;
        }
    }

    /// <summary>How one run of the exporter ended, and what its standard output gave.</summary>
    internal sealed class ExporterRun<T>
    {
        public ExporterRun(bool stopped, int? exitCode, string message, T output)
        {
            Stopped = stopped;
            ExitCode = exitCode;
            Message = message;
            Output = output;
        }

        /// <summary>Whether the time limit ended the run.</summary>
        public bool Stopped { get; private set; }
        /// <summary>Null when the exporter could not be ended.</summary>
        public int? ExitCode { get; private set; }
        /// <summary>The exporter's standard error, or why it was stopped.</summary>
        public string Message { get; private set; }
        /// <summary>What the reader made of standard output; the default when the run was stopped.</summary>
        public T Output { get; private set; }
    }

    internal static class ExporterRun
    {
        private const string StoppedMessage = "stopped: it did not finish in time (see --timeout)";
        private const string OutputNotEndedMessage =
            "stopped: it exited, but its output did not end in time (see --timeout)";
        private const string NotEndedMessage = "it did not finish in time (see --timeout), and could not be ended";

        // How long an exporter that was told to stop may take to end.
        private static readonly TimeSpan StopGrace = TimeSpan.FromSeconds(5);

        // .NET Core 3.0 and later have Process.Kill(bool), which also ends the
        // processes the exporter (or a launcher in front of it) started.
        private static readonly MethodInfo KillTree = typeof(Process).GetMethod("Kill", new[] { typeof(bool) });

        /// <summary>
        /// Runs COMMAND [ARG ...] followed by <paramref name="arguments"/>, reading standard output
        /// with <paramref name="readOutput"/> while standard error is collected, both as bytes and
        /// at once, so that neither pipe fills up. The time limit is the exporter's: it is met
        /// when the exporter has exited and its output has ended within <paramref name="timeout"/>;
        /// reading what it wrote may take longer. A run still going after that is ended and
        /// reported as stopped. Throws <see cref="ReadingFailedException"/> when the reader failed.
        /// </summary>
        public static ExporterRun<T> Run<T>(IList<string> command, IEnumerable<string> arguments,
                                            Func<Stream, T> readOutput, TimeSpan timeout, bool diagnostics)
        {
            using (Process process = Start(command, arguments, diagnostics))
            {
                var pipe = new DrainedPipe(process.StandardOutput.BaseStream);
                Task<T> output = ReadInBackground(() => readOutput(pipe.Reader));
                Task<byte[]> errors = ReadInBackground(() => ReadAll(process.StandardError.BaseStream));

                // Outlook can wait on a dialog (its programmatic-access
                // prompt); a caller should not wait for ever.
                if (!EndedInTime(process, pipe, errors, timeout))
                {
                    // The output is of no use now, and a process that could
                    // not be ended may still hold the pipes: leave the readers.
                    return Stop<T>(process);
                }
                return new ExporterRun<T>(false, process.ExitCode, ErrorText(errors.Result), Result(output));
            }
        }

        public static byte[] ReadAll(Stream stream)
        {
            using (var bytes = new MemoryStream())
            {
                stream.CopyTo(bytes);
                return bytes.ToArray();
            }
        }

        private static Process Start(IList<string> command, IEnumerable<string> arguments, bool diagnostics)
        {
            var startInfo = new ProcessStartInfo(command[0], CommandLine.Join(command.Skip(1).Concat(arguments)))
            {
                UseShellExecute = false,
                CreateNoWindow = true,
                RedirectStandardInput = true,
                RedirectStandardOutput = true,
                RedirectStandardError = true,
            };
            if (diagnostics) startInfo.EnvironmentVariables["CONTACT_EXPORTER_DIAGNOSTICS"] = "1";
            Process process;
            try
            {
                process = Process.Start(startInfo);
            }
            catch (Win32Exception error)
            {
                throw new CannotStartException("cannot start " + command[0] + ": " + error.Message);
            }
            process.StandardInput.Close();
            return process;
        }

        private static Task<T> ReadInBackground<T>(Func<T> read)
        {
            // A thread of its own: the read blocks for the whole run.
            return Task.Factory.StartNew(read, CancellationToken.None, TaskCreationOptions.LongRunning,
                                         TaskScheduler.Default);
        }

        /// <summary>Whether the process exited, and both its outputs ended, within the time limit.</summary>
        private static bool EndedInTime(Process process, DrainedPipe output, Task errors, TimeSpan timeout)
        {
            Stopwatch clock = Stopwatch.StartNew();
            return process.WaitForExit(Milliseconds(timeout)) && output.WaitForEnd(timeout - clock.Elapsed) &&
                   errors.Wait(Milliseconds(timeout - clock.Elapsed));
        }

        private static T Result<T>(Task<T> reading)
        {
            try
            {
                return reading.Result;
            }
            catch (AggregateException error)
            {
                Exception cause = error.InnerException;
                throw new ReadingFailedException(cause.GetType().Name + ": " + cause.Message, cause);
            }
        }

        private static int Milliseconds(TimeSpan time)
        {
            if (time <= TimeSpan.Zero) return 0;
            return time.TotalMilliseconds >= int.MaxValue ? Timeout.Infinite : (int)time.TotalMilliseconds;
        }

        private static ExporterRun<T> Stop<T>(Process process)
        {
            // A process it started holds the output open.
            if (process.HasExited) return new ExporterRun<T>(true, process.ExitCode, OutputNotEndedMessage, default(T));
            try
            {
                Kill(process);
            }
            catch (InvalidOperationException)
            {
                // It has ended meanwhile.
            }
            catch (Win32Exception)
            {
                // Not ours to end (elevated, or another user's), or ending already: the wait tells.
            }
            if (!process.WaitForExit(Milliseconds(StopGrace))) return new ExporterRun<T>(true, null, NotEndedMessage, default(T));
            return new ExporterRun<T>(true, process.ExitCode, StoppedMessage, default(T));
        }

        private static void Kill(Process process)
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

        private static string ErrorText(byte[] bytes)
        {
            // The contract's messages are ASCII; diagnostic lines are UTF-8.
            return new UTF8Encoding(false, false).GetString(bytes);
        }
    }

    internal sealed class CannotStartException : Exception
    {
        public CannotStartException(string message)
            : base(message)
        {
        }
    }

    /// <summary>Reading the output failed for a reason of the reader's own (not an incomplete export).</summary>
    internal sealed class ReadingFailedException : Exception
    {
        public ReadingFailedException(string message, Exception cause)
            : base(message, cause)
        {
        }
    }

    /// <summary>
    /// Reads a pipe to its end on a thread of its own, as fast as it is written, so that neither
    /// the writer waits for a slow reader nor the reader's pace counts against the writer's time
    /// limit. <see cref="Reader"/> reads what was drained.
    /// </summary>
    internal sealed class DrainedPipe
    {
        private readonly BlockingCollection<byte[]> chunks = new BlockingCollection<byte[]>();
        private readonly Thread thread;

        public DrainedPipe(Stream pipe)
        {
            Reader = new QueueStream(chunks);
            thread = new Thread(() => Drain(pipe)) { IsBackground = true };
            thread.Start();
        }

        public Stream Reader { get; private set; }

        public bool WaitForEnd(TimeSpan timeout)
        {
            return timeout > TimeSpan.Zero ? thread.Join(timeout) : thread.Join(0);
        }

        private void Drain(Stream pipe)
        {
            try
            {
                var buffer = new byte[64 * 1024];
                int count;
                while ((count = pipe.Read(buffer, 0, buffer.Length)) > 0)
                {
                    var chunk = new byte[count];
                    Buffer.BlockCopy(buffer, 0, chunk, 0, count);
                    chunks.Add(chunk);
                }
            }
            finally
            {
                chunks.CompleteAdding();
            }
        }

        /// <summary>A read-only stream over the drained chunks; it ends where the pipe ended.</summary>
        private sealed class QueueStream : Stream
        {
            private readonly BlockingCollection<byte[]> chunks;
            private byte[] pending = new byte[0];
            private int offset;

            public QueueStream(BlockingCollection<byte[]> chunks)
            {
                this.chunks = chunks;
            }

            public override bool CanRead { get { return true; } }
            public override bool CanSeek { get { return false; } }
            public override bool CanWrite { get { return false; } }
            public override long Length { get { throw new NotSupportedException(); } }

            public override long Position
            {
                get { throw new NotSupportedException(); }
                set { throw new NotSupportedException(); }
            }

            public override int Read(byte[] buffer, int at, int count)
            {
                if (offset == pending.Length)
                {
                    byte[] next;
                    if (!chunks.TryTake(out next, Timeout.Infinite)) return 0;
                    pending = next;
                    offset = 0;
                }
                int taken = Math.Min(count, pending.Length - offset);
                Buffer.BlockCopy(pending, offset, buffer, at, taken);
                offset += taken;
                return taken;
            }

            public override void Flush()
            {
            }

            public override long Seek(long at, SeekOrigin origin)
            {
                throw new NotSupportedException();
            }

            public override void SetLength(long length)
            {
                throw new NotSupportedException();
            }

            public override void Write(byte[] buffer, int at, int count)
            {
                throw new NotSupportedException();
            }
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

    /// <summary>The encodings of the Windows code pages.</summary>
    internal static class CodePages
    {
        private const int WesternEuropean = 1252;

        /// <summary>
        /// .NET Core and .NET 5 or later know only Unicode and a few other encodings until the
        /// code pages' provider is registered; .NET Framework and Mono know them all. Through
        /// reflection, so that this file compiles where the provider does not exist.
        /// </summary>
        public static void Register()
        {
            Type provider = Type.GetType("System.Text.CodePagesEncodingProvider, System.Text.Encoding.CodePages");
            MethodInfo register = typeof(Encoding).GetMethod("RegisterProvider");
            if (provider == null || register == null) return;
            object instance = provider.GetProperty("Instance").GetValue(null, null);
            register.Invoke(null, new[] { instance });
        }

        /// <summary>
        /// The code page the exporter writes in: the system's ANSI code page on Windows, whatever
        /// this program's own settings; elsewhere (the exporter runs under Wine) cp1252.
        /// </summary>
        public static int SystemAnsi()
        {
            return Environment.OSVersion.Platform == PlatformID.Win32NT ? GetACP() : WesternEuropean;
        }

        /// <summary>
        /// The code page's encoding, decoding bytes it leaves undefined as Windows'
        /// MultiByteToWideChar does, each to the character of the same value (0x81 to U+0081);
        /// null when this framework has no encoding for the code page.
        /// </summary>
        public static Encoding ForRecords(int codePage)
        {
            try
            {
                return Encoding.GetEncoding(codePage, EncoderFallback.ExceptionFallback, new SameValueFallback());
            }
            catch (ArgumentException)
            {
                return null;
            }
            catch (NotSupportedException)
            {
                return null;
            }
        }

        [DllImport("kernel32.dll")]
        private static extern int GetACP();
    }

    /// <summary>Decodes each byte a code page leaves undefined to the character of the same value.</summary>
    internal sealed class SameValueFallback : DecoderFallback
    {
        public override int MaxCharCount { get { return 2; } }

        public override DecoderFallbackBuffer CreateFallbackBuffer()
        {
            return new Buffer();
        }

        private sealed class Buffer : DecoderFallbackBuffer
        {
            private byte[] bytes = new byte[0];
            private int next;

            public override int Remaining { get { return bytes.Length - next; } }

            public override bool Fallback(byte[] bytesUnknown, int index)
            {
                bytes = bytesUnknown;
                next = 0;
                return bytes.Length > 0;
            }

            public override char GetNextChar()
            {
                return next < bytes.Length ? (char)bytes[next++] : '\0';
            }

            public override bool MovePrevious()
            {
                if (next == 0) return false;
                next--;
                return true;
            }

            public override void Reset()
            {
                bytes = new byte[0];
                next = 0;
            }
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
            "usage: " + ReadContacts.ProgramName + " [-h] [--encoding ENCODING] [--status] [--list] [--json] [--diagnostics] [--timeout TIMEOUT] ...";

        public const string HelpText = UsageText + @"

Runs contact-exporter.exe and reads its contacts.

positional arguments:
  command              the command that starts the exporter

options:
  -h, --help           show this help message and exit
  --encoding ENCODING  code page of the records (default: the ANSI code page
                       on Windows, else cp1252)
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

        private Options()
        {
            TimeLimit = TimeSpan.FromSeconds(600);
        }

        public bool Help { get; private set; }
        public bool Status { get; private set; }
        public bool ListContacts { get; private set; }
        public bool Json { get; private set; }
        public bool Diagnostics { get; private set; }
        public TimeSpan TimeLimit { get; private set; }
        /// <summary>The encoding --encoding names, or null.</summary>
        public Encoding RecordEncoding { get; private set; }
        public string RecordEncodingName { get; private set; }
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
                    RecordEncodingName = value ?? NextValue(args, ref at, option);
                    RecordEncoding = NamedEncoding(RecordEncodingName);
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
            double seconds;
            if (!double.TryParse(text, NumberStyles.Float, CultureInfo.InvariantCulture, out seconds))
            {
                throw new UsageException("argument --timeout: invalid float value: '" + text + "'");
            }
            if (double.IsNaN(seconds) || seconds < 0)
            {
                throw new UsageException("argument --timeout: not a number of seconds: '" + text + "'");
            }
            // Past some 24 days the wait has no end.
            return seconds * 1000 >= int.MaxValue ? TimeSpan.FromMilliseconds(int.MaxValue) : TimeSpan.FromSeconds(seconds);
        }

        /// <summary>cp932, 932, windows-1252, or a name .NET knows (shift_jis, utf-8).</summary>
        private static Encoding NamedEncoding(string name)
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
            Encoding encoding = codePage > 0 ? CodePages.ForRecords(codePage) : null;
            if (encoding == null) throw new UsageException("argument --encoding: unknown encoding '" + name + "'");
            return encoding;
        }
    }
}
